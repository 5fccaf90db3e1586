#include "Converters/Image/ImageProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/DecodeWatch.h"
#include "Converters/Image/ImagePreparation.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageTargets.h"
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
// The picture in memory, its RGB copy for the mask finder and the mask.
constexpr PictureBudget::Kept backgroundRemovalKept{12, 12};

std::filesystem::path destinationFor(const std::filesystem::path& url, const std::filesystem::path& outputFolder,
                                     const std::string& infix, const std::string& format)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + infix, format);
}

// The picture ready for an encoder, watched for pixels that fail to decode.
VImage loadForEncoding(const std::filesystem::path& url, Transparency transparency, PictureBudget::Kept work)
{
    try {
        return DecodeWatch::watched(ImagePreparation::forEncoding(ImagePreparation::openUpright(url, work), transparency));
    } catch (const vips::VError&) {
        vips_error_clear();
        throw ConversionError::loadFailed(url);
    }
}

// Pixels are decoded while the encoder runs: a picture that failed to decode is a damaged
// input, whatever the encoder reported.
template <class Write>
void encoding(const std::filesystem::path& url, const VImage& image, const std::filesystem::path& destination,
              const std::string& format, Write write)
{
    try {
        write();
    } catch (const vips::VError&) {
        vips_error_clear();
        if (DecodeWatch::failed(image))
            throw ConversionError::loadFailed(url);
        throw ConversionError::exportFailed(destination, format);
    }
    if (DecodeWatch::failed(image))
        throw ConversionError::loadFailed(url);
}

// The whole picture decoded into memory, for work that reads its pixels more than once.
VImage decodedIntoMemory(const VImage& image, const std::filesystem::path& url)
{
    VImage decoded;
    try {
        decoded = image.copy_memory();
    } catch (const vips::VError&) {
        vips_error_clear();
        throw ConversionError::loadFailed(url);
    }
    if (DecodeWatch::failed(image))
        throw ConversionError::loadFailed(url);
    return decoded;
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
        const std::string format = OutputNaming::normalize(targetFormat);
        if (OutputNaming::normalize(pathExtension(url)) == format) {
            const auto destination = destinationFor(url, outputFolder, "", format);
            // An existing file of that name is never replaced.
            if (std::filesystem::exists(destination))
                throw PlatformError::fromErrno(EEXIST, destination);
            copyUnchanged(url, destination);
            return;
        }
        if (format == "svg")
            throw ConversionError::unsupportedFormat("SVG (raster-to-vector not supported)");
        const ImageTargets::Target* target = ImageTargets::find(format);
        const Transparency transparency = target ? target->transparency : Transparency::keep;
        const PictureBudget::Kept kept = target ? target->kept : PictureBudget::Kept{};
        // A target outside the table is refused once the file has been read.
        const VImage image = loadForEncoding(url, transparency, kept);
        if (!target)
            throw ConversionError::unsupportedFormat(targetFormat);
        if (!ImageTargets::isAvailable(*target))
            throw ConversionError::requiresNewerOS(std::string(target->label) + " conversion");
        throwIfStopped(stop);
        const auto destination = destinationFor(url, outputFolder, "", format);
        const auto readAgain = [&] {
            return ImageReader::readsInAnyOrder(image) ? image : loadForEncoding(url, transparency, kept);
        };
        encoding(url, image, destination, format, [&] { target->write(image, readAgain, destination, stop); });
    });
}

void compressImage(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const VImage image = loadForEncoding(url, Transparency::flattenOntoWhite, {});
        throwIfStopped(stop);
        const auto destination = destinationFor(url, outputFolder, "", "jpg");
        encoding(url, image, destination, "jpg",
                 [&] { ImageWriters::writeJpeg(image, compressionJpegQuality, destination, stop); });
    });
}

void removeBackground(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const auto destination = destinationFor(url, outputFolder, "_nobg", "png");
        const VImage image = decodedIntoMemory(loadForEncoding(url, Transparency::keep, backgroundRemovalKept), url);
        throwIfStopped(stop);
        const VImage mask = subjectMask(image);
        throwIfStopped(stop);
        const VImage colour = image.extract_band(0, VImage::option()->set("n", 3));
        const VImage alpha = image.has_alpha() ? (image.extract_band(3) * mask / 255).cast(VIPS_FORMAT_UCHAR) : mask;
        const VImage cutOut = DecodeWatch::watched(colour.bandjoin(alpha));
        encoding(url, cutOut, destination, "png", [&] { ImageWriters::writePng(cutOut, destination, stop); });
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
