#include "Converters/ConversionCancelled.h"
#include "Converters/Image/ImageProcessor.h"
#include "Converters/Image/ImageWriters.h"
#include "support/InAndOutFolders.h"
#include "support/OutputFolder.h"
#include "support/PdfFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using vips::VImage;

namespace {

// Red across, green down, a blue disc in the middle; with `clearRight`, the right quarter
// fully transparent.
VImage gradientWithDisc(int width, int height, bool clearRight)
{
    const VImage xy = VImage::xyz(width, height);
    const VImage centred = xy - std::vector<double>{width / 2.0, height / 2.0};
    const VImage inDisc = (centred[0] * centred[0] + centred[1] * centred[1]).pow(0.5) < height / 4.0;
    const VImage gradient = (xy[0] * (255.0 / width)).bandjoin(xy[1] * (255.0 / height)).bandjoin_const({60});
    VImage colour = inDisc.ifthenelse(solidImage(width, height, {30, 40, 220}), gradient)
                        .cast(VIPS_FORMAT_UCHAR)
                        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    if (!clearRight)
        return colour;
    const VImage alpha = ((xy[0] < width * 3 / 4) * 255).cast(VIPS_FORMAT_UCHAR);
    return colour.bandjoin(alpha);
}

// The largest difference of any band between the two pictures' 8 x 8 block averages:
// dithering moves single pixels, not the average of a block.
double largestBlockDifference(const VImage& a, const VImage& b)
{
    return (a.cast(VIPS_FORMAT_FLOAT).shrink(8, 8) - b.cast(VIPS_FORMAT_FLOAT).shrink(8, 8)).abs().max();
}

struct GifCase {
    std::string name;
    int width;
    int height;
    bool clearRight;
};

void PrintTo(const GifCase& c, std::ostream* os)
{
    *os << c.name;
}

class GifOutput : public InAndOutFolders, public ::testing::WithParamInterface<GifCase> { };

} // namespace

TEST_P(GifOutput, DecodesBackAtItsSizeWithTheSourcesColoursAndClearParts)
{
    const auto& c = GetParam();
    const VImage source = gradientWithDisc(c.width, c.height, c.clearRight);
    ImageProcessor::convertFormat(image("picture.png", source), "gif", out());
    const fs::path result = onlyEntry(out());
    ASSERT_EQ(readFile(result).substr(0, 6), "GIF89a");
    const VImage decoded = VImage::new_from_file(result.c_str());
    ASSERT_EQ(decoded.width(), c.width);
    ASSERT_EQ(decoded.height(), c.height);
    ASSERT_EQ(decoded.bands(), c.clearRight ? 4 : 3);
    const int opaqueWidth = c.clearRight ? c.width * 3 / 4 : c.width;
    const auto colours = [&](const VImage& picture) {
        return picture.extract_area(0, 0, opaqueWidth, c.height).extract_band(0, VImage::option()->set("n", 3));
    };
    // libvips' own GIF writer comes to about 2.5 and 11 on these pictures.
    EXPECT_LE((colours(source).cast(VIPS_FORMAT_FLOAT) - colours(decoded)).abs().avg(), 4);
    EXPECT_LE(largestBlockDifference(colours(source), colours(decoded)), 14);
    if (!c.clearRight)
        return;
    const VImage alpha = decoded.extract_band(3);
    EXPECT_EQ(alpha.extract_area(0, 0, opaqueWidth, c.height).min(), 255);
    EXPECT_EQ(alpha.extract_area(opaqueWidth, 0, c.width - opaqueWidth, c.height).max(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, GifOutput,
    ::testing::Values(GifCase{"Ordinary", 320, 240, false}, GifCase{"OrdinaryWithTransparency", 320, 240, true},
                      // Sampled for its palette and mapped in several bands.
                      GifCase{"PastThePaletteSample", 2100, 1100, true}),
    [](const auto& info) { return info.param.name; });

class GifWriting : public InAndOutFolders { };

TEST_F(GifWriting, CancelledBetweenItsTwoReadingsLeavesNothingBehind)
{
    const VImage picture = gradientWithDisc(300, 200, false);
    std::stop_source stop;
    const auto readAgain = [&] {
        stop.request_stop();
        return picture;
    };
    EXPECT_THROW(ImageWriters::writeGif(picture, readAgain, out() / "picture.gif", stop.get_token()), ConversionCancelled);
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(GifWriting, ALargePictureConverts)
{
    constexpr int side = 8000;
    const VImage square = VImage::xyz(side, side).extract_band(0) > side / 2;
    const fs::path source = image("large.png", square.ifthenelse(solidImage(side, side, {250, 250, 250}),
                                                                 solidImage(side, side, {0, 0, 0})));
    ImageProcessor::convertFormat(source, "gif", out());
    const fs::path result = onlyEntry(out());
    EXPECT_EQ(imageSize(result), std::make_pair(side, side));
    EXPECT_NEAR(pixelAt(result, side - 10, side - 10)[0], 250, 3);
    EXPECT_NEAR(pixelAt(result, 10, 10)[0], 0, 3);
}
