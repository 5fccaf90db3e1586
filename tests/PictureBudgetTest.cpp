#include "Converters/ConversionError.h"
#include "Converters/Image/ImageProcessor.h"
#include "Converters/Image/PictureBudget.h"
#include "Converters/Pdf/PDFProcessor.h"
#include "support/InAndOutFolders.h"
#include "support/OutputFolder.h"
#include "support/PictureBombs.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <functional>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

using Job = std::function<void(const fs::path& input, const fs::path& outputFolder)>;

Job converting(const std::string& target)
{
    return [target](const fs::path& input, const fs::path& out) { ImageProcessor::convertFormat(input, target, out); };
}

const Job toPdf = [](const fs::path& input, const fs::path& out) { PDFProcessor::imageToPDF(input, out); };
const Job compressing = [](const fs::path& input, const fs::path& out) { ImageProcessor::compressImage(input, out); };

struct Bomb {
    std::string name;
    std::function<fs::path(const fs::path& folder)> make;
    Job job;
};

void PrintTo(const Bomb& bomb, std::ostream* os)
{
    *os << bomb.name;
}

enum Outcome { refusedAsTooLarge = 10, otherConversionError, otherFailure, succeeded };

// The job's outcome as an exit status, with the address space capped: a reader that
// decodes before it weighs dies instead of taking the machine's memory. AddressSanitizer
// reserves terabytes of shadow address space up front, so under it no cap can be set;
// the normal build, which runs first, keeps the safety net.
[[noreturn]] void runCapped(const Job& job, const fs::path& input, const fs::path& out)
{
#ifndef __SANITIZE_ADDRESS__
    constexpr rlim_t cap = rlim_t(3) << 30;
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
#endif
    try {
        job(input, out);
    } catch (const ConversionError& error) {
        std::_Exit(error.kind() == ConversionError::Kind::pictureTooLarge ? refusedAsTooLarge : otherConversionError);
    } catch (...) {
        std::_Exit(otherFailure);
    }
    std::_Exit(succeeded);
}

class PictureBomb : public InAndOutFolders, public ::testing::WithParamInterface<Bomb> { };

} // namespace

TEST_P(PictureBomb, IsRefusedFromItsHeaderBeforeAnyPixelIsDecoded)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path input = GetParam().make(in());
    ASSERT_LT(fs::file_size(input), 2048u);
    EXPECT_EXIT(runCapped(GetParam().job, input, out()), ::testing::ExitedWithCode(refusedAsTooLarge), "");
    EXPECT_TRUE(entriesIn(out()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, PictureBomb,
    ::testing::Values(Bomb{"GifFrameToPng", [](const fs::path& f) { return bombs::gif(f / "frame.gif"); }, converting("png")},
                      Bomb{"GifFrameToPdf", [](const fs::path& f) { return bombs::gif(f / "frame.gif"); }, toPdf},
                      Bomb{"GifFrameCompressed", [](const fs::path& f) { return bombs::gif(f / "frame.gif"); }, compressing},
                      Bomb{"LosslessWebpToPng", [](const fs::path& f) { return bombs::losslessWebp(f / "big.webp", 16383); },
                           converting("png")},
                      // Fits its decoder's budget once, but GIF decodes it twice.
                      Bomb{"LosslessWebpToGif", [](const fs::path& f) { return bombs::losslessWebp(f / "big.webp", 7000); },
                           converting("gif")},
                      Bomb{"JpegXlToPng", [](const fs::path& f) { return bombs::jpegXl(f / "big.jxl", 12000); },
                           converting("png")},
                      Bomb{"ProgressiveJpegToPng",
                           [](const fs::path& f) { return bombs::progressiveJpeg(f / "big.jpg", 30000); }, converting("png")},
                      Bomb{"RgbaPngToGif", [](const fs::path& f) { return bombs::png(f / "big.png", 40000, 4); },
                           converting("gif")},
                      Bomb{"OneBitPngToPdf", [](const fs::path& f) { return bombs::png(f / "big.png", 50000, 1, 1); }, toPdf},
                      Bomb{"Jpeg2000ToHeic", [](const fs::path& f) { return bombs::jpeg2000(f / "big.jp2", 15000); },
                           converting("heic")},
                      Bomb{"Jpeg2000ToGif", [](const fs::path& f) { return bombs::jpeg2000(f / "big.jp2", 15000); },
                           converting("gif")},
                      Bomb{"BmpToPng", [](const fs::path& f) { return bombs::bmp(f / "big.bmp", 16000); }, converting("png")}),
    [](const auto& info) { return info.param.name; });

TEST(PictureBudget, WeighsSidesPixelsAndWhatTheStepsKeep)
{
    struct Case {
        int width;
        int height;
        double bytesPerPixel;
        bool fits;
    };
    const double budgetPixelsAtTen = static_cast<double>(PictureBudget::bytes) / 10;
    const int side = static_cast<int>(std::sqrt(budgetPixelsAtTen));
    const std::vector<Case> cases = {
        {side, side, 10, true},
        {side + 1, side + 1, 10, false},
        {32768, 32768, 0, true}, // read a few rows at a time
        {32768, 32769, 0, false},
        {PictureBudget::longestSide, 2, 0, true},
        {PictureBudget::longestSide + 1, 1, 0, false},
        {1, PictureBudget::longestSide + 1, 0, false},
    };
    for (const auto& c : cases) {
        bool fits = true;
        try {
            PictureBudget::require("/in/p.png", c.width, c.height, c.bytesPerPixel);
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.kind(), ConversionError::Kind::pictureTooLarge);
            fits = false;
        }
        EXPECT_EQ(fits, c.fits) << c.width << " x " << c.height << " at " << c.bytesPerPixel;
    }
}
