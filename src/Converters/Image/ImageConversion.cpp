#include "Converters/Image/ImageProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/ImageEncoding.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageTargets.h"
#include "Converters/Image/ImageWriters.h"
#include "Converters/LibraryErrors.h"
#include "Converters/OutputNaming.h"
#include "Converters/UnchangedCopy.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <cerrno>

// Conversion between formats and re-compression to JPEG: the image operations that need
// only the image libraries.
namespace vantory::ImageProcessor {

namespace {

using ImageEncoding::destinationFor;
using ImageEncoding::encoding;
using ImageEncoding::loadForEncoding;
using ImagePreparation::Transparency;
using vips::VImage;

constexpr int compressionJpegQuality = 70;

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

} // namespace vantory::ImageProcessor
