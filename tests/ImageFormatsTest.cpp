#include "Converters/Image/ImageProcessor.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageTargets.h"
#include "Converters/Image/ImageWriters.h"
#include "Models/DropPayload.h"
#include "Platform/TypeRegistry.h"
#include "State/ActionResolver.h"
#include "support/DngFixture.h"
#include "support/InAndOutFolders.h"
#include "support/OutputFolder.h"
#include "support/PdfFixtures.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using vips::VImage;

namespace {

// Large enough for libraw, which refuses tiny sensors.
constexpr int width = 48;
constexpr int height = 32;

// Red on the left, white on the right: the halves stay apart in grey and in black and white.
VImage picture()
{
    return splitImage(width, height, {200, 60, 30}, {255, 255, 255});
}

// Writes `picture()` through libvips' writer for `as`, under the name `file`.
fs::path savedAs(const fs::path& file, const std::string& as)
{
    const fs::path written = file.parent_path() / ("written." + as);
    picture().write_to_file(written.c_str());
    fs::rename(written, file);
    return file;
}

fs::path savedByImageMagick(const fs::path& file, const std::string& format)
{
    picture().magicksave(file.c_str(), VImage::option()->set("format", format.c_str()));
    return file;
}

fs::path cursor(const fs::path& file)
{
    savedByImageMagick(file, "ico");
    std::string bytes = readFile(file);
    bytes[2] = 2; // a cursor directory; the colour planes and bits become the hotspot
    bytes[10] = 3;
    bytes[12] = 5;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

fs::path svg(const fs::path& file)
{
    std::ofstream(file) << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"32\">"
                           "<rect width=\"48\" height=\"32\" fill=\"#ffffff\"/>"
                           "<rect width=\"24\" height=\"32\" fill=\"#c83c1e\"/></svg>";
    return file;
}

fs::path gzippedSvg(const fs::path& file)
{
    const fs::path plain = svg(file.parent_path() / "plain.svg");
    const std::string command = "gzip -c '" + plain.string() + "' > '" + file.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return file;
}

fs::path cameraRaw(const fs::path& file)
{
    writeLinearDng(file, width, height,
                   [](int x, int) { return x < width / 2 ? LinearRgb{40000, 3000, 3000} : LinearRgb{60000, 60000, 60000}; });
    return file;
}

using Maker = std::function<fs::path(const fs::path& file)>;

Maker saved(const std::string& as)
{
    return [as](const fs::path& file) { return savedAs(file, as); };
}

Maker byImageMagick(const std::string& format)
{
    return [format](const fs::path& file) { return savedByImageMagick(file, format); };
}

// How a small file of each extension the reader takes is made.
const std::map<std::string, Maker>& makers()
{
    static const std::map<std::string, Maker> table{
        {"png", saved("png")},   {"jpg", saved("jpg")},    {"jpeg", saved("jpg")},     {"jpe", saved("jpg")},
        {"gif", saved("gif")},   {"tif", saved("tif")},    {"tiff", saved("tif")},     {"webp", saved("webp")},
        {"heic", saved("heic")}, {"heif", saved("heic")},  {"hif", saved("heic")},     {"avif", saved("avif")},
        {"jp2", saved("jp2")},   {"jpg2", saved("jp2")},   {"j2k", saved("j2k")},      {"j2c", saved("j2c")},
        {"jpc", saved("jpc")},   {"jxl", saved("jxl")},    {"pbm", saved("pbm")},      {"pgm", saved("pgm")},
        {"ppm", saved("ppm")},   {"pnm", saved("pnm")},    {"svg", svg},               {"svgz", gzippedSvg},
        {"bmp", byImageMagick("bmp")}, {"dib", byImageMagick("bmp")}, {"ico", byImageMagick("ico")}, {"cur", cursor},
        {"psd", byImageMagick("psd")}, {"exr", byImageMagick("exr")}, {"dng", cameraRaw},    {"cr2", cameraRaw},
        {"nef", cameraRaw},      {"arw", cameraRaw},       {"orf", cameraRaw},         {"rw2", cameraRaw},
    };
    return table;
}

// Every extension the type registry files as a picture, in lower case.
std::set<std::string> registeredPictureExtensions()
{
    std::set<std::string> extensions;
    for (const QMimeType& type : QMimeDatabase().allMimeTypes())
        for (const QString& suffix : type.suffixes()) {
            const std::string extension = suffix.toLower().toStdString();
            if (extension.find('.') == std::string::npos && registeredKindForExtension(extension) == RegisteredKind::image)
                extensions.insert(extension);
        }
    for (const auto& [extension, _] : makers())
        extensions.insert(extension); // camera raw that the registry may not know
    return extensions;
}

std::vector<FileAction> offeredFor(const std::string& extension)
{
    const auto payload = DropPayload::from({"/nonexistent/picture." + extension});
    return ActionResolver{payload, payload.groups.front(), std::nullopt, {}}.suggestedActions();
}

class ImageFormats : public InAndOutFolders { };

} // namespace

TEST_F(ImageFormats, EveryPictureExtensionIsConvertedOrOffersNothing)
{
    const auto extensions = registeredPictureExtensions();
    ASSERT_GT(extensions.size(), 60u);
    for (const std::string& extension : extensions) {
        SCOPED_TRACE(extension);
        const auto rows = offeredFor(extension);
        ASSERT_FALSE(rows.empty());
        if (!ImageReader::readsExtension(extension)) {
            EXPECT_EQ(rows.front().id, "unsupported");
            EXPECT_EQ(rows.size(), 1u);
            continue;
        }
        EXPECT_EQ(rows.front().id, "convert_image");
        const auto maker = makers().find(extension);
        ASSERT_NE(maker, makers().end()) << "no fixture for an offered extension";
        const fs::path source = maker->second(in() / ("picture." + extension));
        const std::string target = rows.front().subOptions.front().format;
        try {
            ImageProcessor::convertFormat(source, target, out());
        } catch (const std::exception& error) {
            ADD_FAILURE() << "." << extension << " to " << target << ": " << error.what();
            continue;
        }
        const fs::path result = onlyEntry(out());
        ASSERT_FALSE(result.empty());
        EXPECT_EQ(imageSize(result), (std::pair{width, height}));
        const auto left = pixelAt(result, 6, 16);
        const auto right = pixelAt(result, 42, 16);
        EXPECT_GT(right[0], left[0] + 20) << left[0] << " " << right[0];
        if (extension != "pbm" && extension != "pgm") {
            EXPECT_GT(left[0], left[2] + 60) << left[0] << " " << left[2]; // red stays red
        }
        fs::remove(result);
    }
}

TEST_F(ImageFormats, EveryOfferedTargetHasAWriter)
{
    const fs::path source = image("picture.png", picture());
    const auto targets = ActionResolver::imageTargets(std::nullopt, {ImageWriters::canWriteAVIF(), false});
    ASSERT_GE(targets.size(), 7u);
    for (const auto& target : targets) {
        SCOPED_TRACE(target.format);
        ASSERT_NE(ImageTargets::find(target.format), nullptr);
        const fs::path folder = out() / target.format;
        fs::create_directories(folder);
        ImageProcessor::convertFormat(source, target.format, folder);
        const fs::path result = onlyEntry(folder);
        EXPECT_EQ(result.extension(), "." + target.format);
        EXPECT_EQ(imageSize(result), (std::pair{width, height}));
    }
}
