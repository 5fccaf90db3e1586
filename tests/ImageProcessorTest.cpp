#include "Converters/Image/ImageProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/ImageWriters.h"
#include "Platform/ImageMagickStartup.h"
#include "support/ConversionErrors.h"
#include "support/DngFixture.h"
#include "support/InAndOutFolders.h"
#include "support/OutputFolder.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using vips::VImage;

namespace {

class ImageProcessorTest : public InAndOutFolders {
protected:
    fs::path file(const std::string& name, const std::string& bytes) const { return dir_.write("in/" + name, bytes); }

    // The one file written, or an empty path (a failure of the test) when there is not exactly one.
    fs::path written() const { return onlyEntry(out()); }
};

// Half semi-transparent red on the left, fully transparent on the right.
VImage halfTransparent()
{
    return splitImage(64, 48, {200, 10, 10, 160}, {0, 0, 0, 0});
}

// A dark disc in the middle of a light, slightly textured ground.
VImage darkDiscOnLightGround(int width, int height)
{
    const VImage xy = VImage::xyz(width, height) - std::vector<double>{width / 2.0, height / 2.0};
    const VImage inDisc = (xy[0] * xy[0] + xy[1] * xy[1]).pow(0.5) < height / 3.0;
    const VImage noise = VImage::gaussnoise(width, height, VImage::option()->set("mean", 0)->set("sigma", 4));
    const VImage ground = (solidImage(width, height, {225, 220, 210}) + noise)
                              .cast(VIPS_FORMAT_UCHAR)
                              .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    return inDisc.ifthenelse(solidImage(width, height, {40, 30, 60}), ground);
}

std::string littleEndian(std::uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

// A run-length encoded 8-bit BMP: the left half palette colour 0, the right half colour 1.
std::string rleBmp(int width, int height, const std::array<std::uint8_t, 3>& left, const std::array<std::uint8_t, 3>& right)
{
    std::string row;
    for (const auto& [count, index] : {std::pair{width / 2, 0}, {width - width / 2, 1}})
        for (int done = 0; done < count; done += 255)
            row += {static_cast<char>(std::min(255, count - done)), static_cast<char>(index)};
    row += std::string("\0\0", 2); // end of line
    std::string pixels;
    for (int y = 0; y < height; ++y)
        pixels += row;
    pixels += std::string("\0\1", 2); // end of bitmap
    std::string palette;
    for (const auto& colour : {left, right})
        palette += {static_cast<char>(colour[2]), static_cast<char>(colour[1]), static_cast<char>(colour[0]), '\0'};
    const std::uint32_t pixelsAt = 14 + 40 + static_cast<std::uint32_t>(palette.size());
    std::string info = littleEndian(40, 4) + littleEndian(width, 4) + littleEndian(height, 4) + littleEndian(1, 2)
                       + littleEndian(8, 2) + littleEndian(1, 4) /* RLE8 */ + littleEndian(pixels.size(), 4)
                       + littleEndian(2835, 4) + littleEndian(2835, 4) + littleEndian(2, 4) + littleEndian(2, 4);
    return "BM" + littleEndian(pixelsAt + pixels.size(), 4) + littleEndian(0, 4) + littleEndian(pixelsAt, 4) + info + palette
           + pixels;
}

bool near(double value, double expected, double tolerance)
{
    return std::abs(value - expected) <= tolerance;
}

} // namespace

struct CopyCase {
    std::string input;
    std::string target;
    std::string expectedExtension;
};

class SameFormatCopy : public ImageProcessorTest, public ::testing::WithParamInterface<CopyCase> { };

TEST_P(SameFormatCopy, CopiesTheBytesUnderTheNormalisedExtension)
{
    const auto& c = GetParam();
    // The content is not a picture at all: a copy never reads it.
    const fs::path source = file(c.input, "not really an image \x01\x02");
    ImageProcessor::convertFormat(source, c.target, out());
    const fs::path result = written();
    EXPECT_EQ(readFile(result), readFile(source));
    const std::string stem = fs::path(c.input).stem().string();
    const std::string name = result.filename().string();
    EXPECT_TRUE(name.starts_with(stem + "_")) << name;
    EXPECT_TRUE(std::regex_match(name.substr(stem.size()), std::regex("_[0-9a-f]{8}\\." + c.expectedExtension))) << name;
}

INSTANTIATE_TEST_SUITE_P(Formats, SameFormatCopy,
                         ::testing::Values(CopyCase{"photo.jpeg", "jpg", "jpg"}, CopyCase{"Photo.JPEG", "JPG", "jpg"},
                                           CopyCase{"logo.tif", "tiff", "tiff"}, CopyCase{"scan.tiff", "TIF", "tiff"},
                                           CopyCase{"drawing.svg", "SVG", "svg"}, CopyCase{"pic.heif", "heic", "heic"},
                                           CopyCase{"a[1].png", "png", "png"}));

struct RefusalCase {
    std::string name;
    std::string input; // "garbage" or "png"
    std::string target;
    ConversionError::Kind kind;
    std::string detail;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class Refusal : public ImageProcessorTest, public ::testing::WithParamInterface<RefusalCase> { };

TEST_P(Refusal, ComesInTheOrderOfTheChecksAndWritesNothing)
{
    const auto& c = GetParam();
    const fs::path source = c.input == "garbage" ? file("junk.dat", "this is no picture")
                                                 : image("red.png", solidImage(8, 8, {200, 0, 0}));
    const auto error = conversionErrorOf([&] { ImageProcessor::convertFormat(source, c.target, out()); });
    EXPECT_EQ(error.kind(), c.kind);
    EXPECT_EQ(error.detail(), c.detail);
    EXPECT_TRUE(entriesIn(out()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Order, Refusal,
    ::testing::Values(RefusalCase{"GarbageToSvgUnread", "garbage", "svg", ConversionError::Kind::unsupportedFormat,
                                  "SVG (raster-to-vector not supported)"},
                      RefusalCase{"GarbageToSvgAnyCase", "garbage", "Svg", ConversionError::Kind::unsupportedFormat,
                                  "SVG (raster-to-vector not supported)"},
                      RefusalCase{"GarbageToPsdIsReadFirst", "garbage", "psd", ConversionError::Kind::loadFailed, ""},
                      RefusalCase{"PngToPsdKeepsTheTargetAsGiven", "png", "PSD", ConversionError::Kind::unsupportedFormat,
                                  "PSD"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ImageProcessorTest, GarbageToPsdNamesTheInput)
{
    const fs::path source = file("junk.dat", "this is no picture");
    EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(source, "psd", out()); }),
              ConversionError::loadFailed(source));
}

struct AlphaCase {
    std::string target;
    bool keepsAlpha;
    double colourTolerance;
};

class AlphaOverTargets : public ImageProcessorTest, public ::testing::WithParamInterface<AlphaCase> { };

TEST_P(AlphaOverTargets, KeepsTransparencyOrFlattensOntoWhite)
{
    const auto& c = GetParam();
    if (c.target == "avif" && !ImageWriters::canWriteAVIF()) {
        const fs::path source = image("clear.png", halfTransparent());
        EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(source, "avif", out()); }),
                  ConversionError::requiresNewerOS("AVIF conversion"));
        return;
    }
    ImageProcessor::convertFormat(image("clear.png", halfTransparent()), c.target, out());
    const fs::path result = written();
    EXPECT_EQ(result.extension(), "." + c.target);
    const auto left = pixelAt(result, 10, 24);
    const auto right = pixelAt(result, 54, 24);
    if (!c.keepsAlpha) {
        ASSERT_EQ(left.size(), 3u);
        EXPECT_TRUE(near(right[0], 255, 4) && near(right[1], 255, 4) && near(right[2], 255, 4)) << right[0];
        // 160/255 of red over white.
        EXPECT_TRUE(near(left[0], 220, c.colourTolerance) && near(left[1], 101, c.colourTolerance)) << left[0] << " " << left[1];
        return;
    }
    ASSERT_EQ(left.size(), 4u);
    EXPECT_EQ(right[3], 0);
    // Straight colour: a premultiplied encoder input would darken red to about 125.
    EXPECT_TRUE(near(left[0], 200, c.colourTolerance)) << left[0];
    if (c.target != "gif") { // one transparent colour only: the half-transparent half is opaque or clear
        EXPECT_TRUE(near(left[3], 160, 6)) << left[3];
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTarget, AlphaOverTargets,
                         ::testing::Values(AlphaCase{"png", true, 0}, AlphaCase{"tiff", true, 0}, AlphaCase{"gif", true, 12},
                                           AlphaCase{"heic", true, 12}, AlphaCase{"webp", true, 12}, AlphaCase{"avif", true, 12},
                                           AlphaCase{"jpg", false, 6}, AlphaCase{"bmp", false, 1}),
                         [](const auto& info) { return info.param.target; });

TEST_F(ImageProcessorTest, CompressingWritesAJpegOnWhiteWhateverTheSource)
{
    ImageProcessor::compressImage(image("clear.png", halfTransparent()), out());
    const fs::path result = written();
    EXPECT_TRUE(std::regex_match(result.filename().string(), std::regex("clear_[0-9a-f]{8}\\.jpg")));
    EXPECT_EQ(readFile(result).substr(0, 3), "\xFF\xD8\xFF");
    const auto right = pixelAt(result, 54, 24);
    ASSERT_EQ(right.size(), 3u);
    EXPECT_GE(right[0], 250);
}

TEST_F(ImageProcessorTest, SixteenBitInputBecomesEightBit)
{
    const VImage deep = (solidImage(16, 16, {200, 100, 50}).cast(VIPS_FORMAT_USHORT) * 257)
                            .cast(VIPS_FORMAT_USHORT)
                            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
    ImageProcessor::convertFormat(image("deep.png", deep), "webp", out());
    const auto pixel = pixelAt(written(), 8, 8);
    EXPECT_TRUE(near(pixel[0], 200, 6) && near(pixel[1], 100, 6) && near(pixel[2], 50, 6)) << pixel[0];
}

TEST_F(ImageProcessorTest, GreyWithAlphaKeepsItsGreyAndItsAlpha)
{
    ImageProcessor::convertFormat(image("grey.png", solidImage(16, 16, {90, 128})), "webp", out());
    const auto pixel = pixelAt(written(), 8, 8);
    ASSERT_EQ(pixel.size(), 4u);
    EXPECT_TRUE(near(pixel[0], 90, 6) && near(pixel[1], 90, 6) && near(pixel[3], 128, 6)) << pixel[0] << " " << pixel[3];
}

TEST_F(ImageProcessorTest, CmykInputComesOutInRgb)
{
    const VImage cmyk = (VImage::black(16, 16, VImage::option()->set("bands", 4)) + std::vector<double>{0, 255, 255, 0})
                            .cast(VIPS_FORMAT_UCHAR)
                            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_CMYK));
    const fs::path source = in() / "print.jpg";
    cmyk.jpegsave(source.c_str());
    ImageProcessor::convertFormat(source, "png", out());
    const auto pixel = pixelAt(written(), 8, 8);
    ASSERT_EQ(pixel.size(), 3u);
    EXPECT_GT(pixel[0], 150); // full magenta and yellow: red
    EXPECT_LT(pixel[1], 90);
}

TEST_F(ImageProcessorTest, TruncatedInputFailsToLoadAndLeavesNothing)
{
    for (const std::string format : {"jpg", "png"}) {
        const fs::path whole = image("whole." + format, darkDiscOnLightGround(300, 200));
        const std::string bytes = readFile(whole);
        const fs::path cut = file("cut." + format, bytes.substr(0, bytes.size() / 2));
        // TIFF is written while the input is decoded: the half-written file must go.
        EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(cut, "tiff", out()); }), ConversionError::loadFailed(cut))
            << format;
        EXPECT_TRUE(entriesIn(out()).empty()) << format;
    }
}

TEST_F(ImageProcessorTest, APictureSmallerThanATileCutShortFailsEveryTime)
{
    // libvips can lose the decoder's failure between its threads for a picture this small:
    // then a black picture came out "converted" in some runs.
    struct Case {
        std::string format;
        std::string target;
    };
    const VImage grain = (VImage::gaussnoise(64, 48, VImage::option()->set("mean", 128)->set("sigma", 40)))
                             .cast(VIPS_FORMAT_UCHAR)
                             .bandjoin({VImage::gaussnoise(64, 48), VImage::gaussnoise(64, 48)})
                             .cast(VIPS_FORMAT_UCHAR)
                             .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    for (const auto& c : {Case{"png", "jpg"}, Case{"jpg", "png"}}) {
        const std::string bytes = readFile(image("whole." + c.format, grain));
        const fs::path cut = file("cut." + c.format, bytes.substr(0, bytes.size() * 6 / 10));
        for (int run = 0; run < 20; ++run) {
            EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(cut, c.target, out()); }),
                      ConversionError::loadFailed(cut))
                << c.format << " run " << run;
            ASSERT_TRUE(entriesIn(out()).empty()) << c.format << " run " << run;
        }
    }
}

TEST_F(ImageProcessorTest, BracketsInTheNameAreNoLoadOptions)
{
    ImageProcessor::convertFormat(image("a[1].png", solidImage(8, 8, {0, 0, 200})), "jpg", out());
    EXPECT_TRUE(std::regex_match(written().filename().string(), std::regex("a\\[1\\]_[0-9a-f]{8}\\.jpg")));
}

TEST_F(ImageProcessorTest, BmpIsReadByItsHeaderWhateverItsName)
{
    const fs::path bmp = in() / "picture.bin";
    solidImage(8, 8, {0, 200, 0}).magicksave(bmp.c_str(), VImage::option()->set("format", "bmp"));
    ImageProcessor::convertFormat(bmp, "png", out());
    EXPECT_EQ(pixelAt(written(), 4, 4), (std::vector<double>{0, 200, 0}));
}

TEST_F(ImageProcessorTest, ABatchOfLargeBmpsConvertsAndLeavesNothingBehind)
{
    // Each one fills a good share of ImageMagick's memory; only if every job lets go of its
    // picture do they all convert, with no pixel cache spilled to disk.
    constexpr int count = 30;
    const std::string bytes = rleBmp(4000, 3000, {200, 30, 30}, {30, 30, 200});
    for (int i = 0; i < count; ++i)
        ImageProcessor::convertFormat(file("scan" + std::to_string(i) + ".bmp", bytes), "jpg", out());
    const auto results = entriesIn(out());
    ASSERT_EQ(results.size(), static_cast<std::size_t>(count));
    EXPECT_GT(pixelAt(results.back(), 100, 1500)[0], 150);
    EXPECT_GT(pixelAt(results.back(), 3900, 1500)[2], 150);
    ASSERT_FALSE(ImageMagickStartup::temporaryFolder().empty());
    EXPECT_TRUE(entriesIn(ImageMagickStartup::temporaryFolder()).empty());
}

TEST_F(ImageProcessorTest, ContentWithoutItsOwnSignatureNeverReachesImageMagick)
{
    // A TGA's first bytes are a cursor's; ImageMagick's TGA reader would take it.
    const std::string tga = std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x08\0\x08\0\x18\x20", 18) + std::string(8 * 8 * 3, '\x80');
    const fs::path source = file("picture.png", tga);
    EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(source, "jpg", out()); }), ConversionError::loadFailed(source));
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, ImageMagicksOtherFormatsAreNotRead)
{
    // ImageMagick would read its own format; it reads only the few formats listed by header.
    const fs::path miff = in() / "picture.dat";
    solidImage(8, 8, {0, 200, 0}).magicksave(miff.c_str(), VImage::option()->set("format", "miff"));
    EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(miff, "png", out()); }), ConversionError::loadFailed(miff));
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, TextIsNoPictureEvenToImageMagick)
{
    for (const std::string name : {"notes.txt", "notes.bmp", "page.html"}) {
        const fs::path source = file(name, "<html>plain words, no picture</html>\n");
        EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::convertFormat(source, "png", out()); }).kind(),
                  ConversionError::Kind::loadFailed)
            << name;
    }
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, RotatedJpegComesOutUpright)
{
    // Stored 40 x 20, red on the left; orientation 6 shows it turned a quarter clockwise.
    VImage stored = splitImage(40, 20, {220, 0, 0}, {0, 0, 220}).copy();
    stored.set(VIPS_META_ORIENTATION, 6);
    const fs::path source = in() / "turned.jpg";
    stored.jpegsave(source.c_str());
    // GIF reads the picture twice: both readings are turned.
    for (const std::string target : {"png", "webp", "gif"})
        ImageProcessor::convertFormat(source, target, out());
    ASSERT_EQ(entriesIn(out()).size(), 3u);
    for (const auto& result : entriesIn(out())) {
        EXPECT_EQ(imageSize(result), (std::pair{20, 40})) << result;
        EXPECT_GT(pixelAt(result, 10, 5)[0], 150) << result; // red on top
        EXPECT_GT(pixelAt(result, 10, 35)[2], 150) << result; // blue below
    }
}

TEST_F(ImageProcessorTest, WebPPastTheEncodersWidthIsRefusedAndLeavesNothing)
{
    const fs::path wide = image("wide.png", solidImage(16384, 2, {1, 2, 3}));
    const auto error = conversionErrorOf([&] { ImageProcessor::convertFormat(wide, "webp", out()); });
    EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
    EXPECT_EQ(error.detail(), "webp");
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, ACancelledConversionPublishesNothing)
{
    const fs::path source = image("red.png", solidImage(8, 8, {200, 0, 0}));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(ImageProcessor::convertFormat(source, "webp", out(), stop.get_token()), ConversionCancelled);
    EXPECT_THROW(ImageProcessor::compressImage(source, out(), stop.get_token()), ConversionCancelled);
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, RemovingTheBackgroundKeepsTheDiscAndClearsTheCorners)
{
    ImageProcessor::removeBackground(image("Disc Photo.png", darkDiscOnLightGround(240, 180)), out());
    const fs::path result = written();
    EXPECT_TRUE(std::regex_match(result.filename().string(), std::regex("Disc Photo_nobg_[0-9a-f]{8}\\.png")));
    const auto centre = pixelAt(result, 120, 90);
    ASSERT_EQ(centre.size(), 4u);
    EXPECT_GT(centre[3], 240);
    EXPECT_TRUE(near(centre[0], 40, 2) && near(centre[2], 60, 2)); // the colour untouched
    for (const auto& [x, y] : {std::pair{2, 2}, {237, 2}, {2, 177}, {237, 177}, {20, 90}})
        EXPECT_LT(pixelAt(result, x, y)[3], 16) << x << "," << y;
}

TEST_F(ImageProcessorTest, ExistingTransparencyStaysClearAfterRemoval)
{
    const VImage disc = darkDiscOnLightGround(240, 180);
    const VImage withAlpha = disc.bandjoin((VImage::xyz(240, 180)[0] < 120).ifthenelse(255, 0).cast(VIPS_FORMAT_UCHAR));
    ImageProcessor::removeBackground(image("half.png", withAlpha), out());
    const fs::path result = written();
    EXPECT_GT(pixelAt(result, 110, 90)[3], 240); // the disc's visible half
    EXPECT_EQ(pixelAt(result, 130, 90)[3], 0); // the disc's half that was clear already
}

TEST_F(ImageProcessorTest, AUniformPictureHasNoSubject)
{
    // Faint grain, as in a photograph of a blank wall.
    const VImage grain = VImage::gaussnoise(120, 90, VImage::option()->set("mean", 0)->set("sigma", 1.5));
    for (const auto& colour : {std::vector<double>{128, 128, 128}, std::vector<double>{240, 240, 240}}) {
        const fs::path source = image("flat.png", (solidImage(120, 90, colour) + grain)
                                                      .cast(VIPS_FORMAT_UCHAR)
                                                      .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)));
        EXPECT_EQ(conversionErrorOf([&] { ImageProcessor::removeBackground(source, out()); }), ConversionError::noSubjectFound());
    }
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(ImageProcessorTest, CameraRawIsDevelopedByLibRaw)
{
    const fs::path raw = in() / "shot.dng";
    writeLinearDng(raw, 48, 32, [](int x, int) { return x < 24 ? LinearRgb{40000, 3000, 3000} : LinearRgb{3000, 3000, 40000}; });
    ImageProcessor::convertFormat(raw, "png", out());
    const fs::path result = written();
    EXPECT_EQ(imageSize(result), (std::pair{48, 32}));
    const auto left = pixelAt(result, 8, 16);
    const auto right = pixelAt(result, 40, 16);
    EXPECT_GT(left[0], left[2] + 60) << left[0] << " " << left[2];
    EXPECT_GT(right[2], right[0] + 60) << right[0] << " " << right[2];
    // Developed: linear light in sRGB's tone curve. Read as a plain TIFF, 3000 of 65535
    // would stay near 12.
    EXPECT_GT(left[1], 30) << left[1];
}
