#include "Converters/Image/ImageProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/ImagePreparation.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageWriters.h"
#include "Converters/LibraryErrors.h"
#include "Converters/OutputNaming.h"
#include "Converters/RowAdapters.h"
#include "Converters/UnchangedCopy.h"
#include "Models/ActionIds.h"
#include "Platform/ForegroundMask.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <cerrno>
#include <memory>

namespace vantory::ImageProcessor {

namespace {

using ImagePreparation::Transparency;
using vips::VImage;

constexpr int compressionJpegQuality = 70;

std::filesystem::path destinationFor(const std::filesystem::path& url, const std::filesystem::path& outputFolder,
                                     const std::string& infix, const std::string& format)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + infix, format);
}

VImage loadForEncoding(const std::filesystem::path& url, Transparency transparency)
{
    try {
        return ImagePreparation::forEncoding(ImagePreparation::openUpright(url), transparency);
    } catch (const vips::VError&) {
        vips_error_clear();
        throw ConversionError::loadFailed(url);
    }
}

// Pixels are decoded while the encoder runs, so a failing encoder may be a damaged input.
template <class Write>
void encoding(const std::filesystem::path& url, const std::filesystem::path& destination, const std::string& format, Write write)
{
    try {
        write();
    } catch (const vips::VError&) {
        vips_error_clear();
        if (!ImagePreparation::decodesWhole(url))
            throw ConversionError::loadFailed(url);
        throw ConversionError::exportFailed(destination, format);
    }
}

// The whole picture decoded into memory, for work that reads its pixels more than once.
VImage decodedIntoMemory(const VImage& image, const std::filesystem::path& url, const std::filesystem::path& destination)
{
    const auto pixels = static_cast<std::uint64_t>(image.width()) * static_cast<std::uint64_t>(image.height());
    if (pixels > ImagePreparation::pixelBudget)
        throw ConversionError::exportFailed(destination, "png: the picture is too large for background removal");
    try {
        return image.copy_memory();
    } catch (const vips::VError&) {
        vips_error_clear();
        throw ConversionError::loadFailed(url);
    }
}

// The subject's mask: one band, the picture's size. Throws noSubjectFound.
VImage subjectMask(const VImage& image)
{
    const VImage colour =
        image.has_alpha()
            ? image.flatten(VImage::option()->set("background", std::vector<double>{255, 255, 255})).cast(VIPS_FORMAT_UCHAR)
            : image;
    size_t size = 0;
    const std::unique_ptr<std::uint8_t, ImageReader::FreeWithGlib> rgb(static_cast<std::uint8_t*>(colour.write_to_memory(&size)));
    if (size != static_cast<size_t>(image.width()) * image.height() * 3)
        throw vips::VError("the picture's pixels are not 8-bit RGB");
    const auto mask = ForegroundMask::find(rgb.get(), image.width(), image.height());
    if (!mask)
        throw ConversionError::noSubjectFound();
    return ImageReader::copyOfPixels(mask->data(), mask->size(), image.width(), image.height(), 1);
}

} // namespace

void convertFormat(const std::filesystem::path& url, const std::string& targetFormat, const std::filesystem::path& outputFolder,
                   std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const std::string target = OutputNaming::normalize(targetFormat);
        if (OutputNaming::normalize(pathExtension(url)) == target) {
            const auto destination = destinationFor(url, outputFolder, "", target);
            // An existing file of that name is never replaced.
            if (std::filesystem::exists(destination))
                throw PlatformError::fromErrno(EEXIST, destination);
            copyUnchanged(url, destination);
            return;
        }
        if (target == "svg")
            throw ConversionError::unsupportedFormat("SVG (raster-to-vector not supported)");
        const bool opaque = target == "jpg" || target == "bmp";
        const VImage image = loadForEncoding(url, opaque ? Transparency::flattenOntoWhite : Transparency::keep);
        if (!ImageWriters::isConversionTarget(target))
            throw ConversionError::unsupportedFormat(targetFormat);
        if (target == "avif" && !ImageWriters::canWriteAVIF())
            throw ConversionError::requiresNewerOS("AVIF conversion");
        throwIfStopped(stop);
        const auto destination = destinationFor(url, outputFolder, "", target);
        encoding(url, destination, target, [&] { ImageWriters::write(image, target, destination, stop); });
    });
}

void compressImage(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const VImage image = loadForEncoding(url, Transparency::flattenOntoWhite);
        throwIfStopped(stop);
        const auto destination = destinationFor(url, outputFolder, "", "jpg");
        encoding(url, destination, "jpg", [&] { ImageWriters::writeJpeg(image, compressionJpegQuality, destination, stop); });
    });
}

void removeBackground(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const auto destination = destinationFor(url, outputFolder, "_nobg", "png");
        const VImage image = decodedIntoMemory(loadForEncoding(url, Transparency::keep), url, destination);
        throwIfStopped(stop);
        const VImage mask = subjectMask(image);
        throwIfStopped(stop);
        const VImage colour = image.extract_band(0, VImage::option()->set("n", 3));
        const VImage alpha = image.has_alpha() ? (image.extract_band(3) * mask / 255).cast(VIPS_FORMAT_UCHAR) : mask;
        encoding(url, destination, "png", [&] { ImageWriters::write(colour.bandjoin(alpha), "png", destination, stop); });
    });
}

DispatchTable rows()
{
    return {.fileOperations =
                {
                    {ActionIds::convertImage,
                     {Lane::serial,
                      [](const FileJob& job) {
                          if (!job.targetFormat)
                              throw ConversionError::unsupportedFormat("no target format");
                          convertFormat(job.url, *job.targetFormat, job.outputFolder, job.stop);
                      }}},
                    {ActionIds::compressImage, serialRow(compressImage)},
                    {ActionIds::removeBackground, serialRow(removeBackground)},
                },
            .wholeBatchOperations = {}};
}

} // namespace vantory::ImageProcessor
