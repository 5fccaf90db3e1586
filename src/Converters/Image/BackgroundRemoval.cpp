#include "Converters/Image/ImageProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/DecodeWatch.h"
#include "Converters/Image/ImageEncoding.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageWriters.h"
#include "Converters/LibraryErrors.h"
#include "Platform/ForegroundMask.h"

#include <memory>

// Background removal: the one image operation that needs the mask finder and the
// libraries behind it, so that conversion alone does not load them.
namespace vantory::ImageProcessor {

namespace {

using ImagePreparation::Transparency;
using vips::VImage;

// The picture in memory, its RGB copy for the mask finder and the mask.
constexpr PictureBudget::Kept backgroundRemovalKept{12, 12};

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

void removeBackground(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const auto destination = ImageEncoding::destinationFor(url, outputFolder, "_nobg", "png");
        const VImage image =
            decodedIntoMemory(ImageEncoding::loadForEncoding(url, Transparency::keep, backgroundRemovalKept), url);
        throwIfStopped(stop);
        const VImage mask = subjectMask(image);
        throwIfStopped(stop);
        const VImage colour = image.extract_band(0, VImage::option()->set("n", 3));
        const VImage alpha = image.has_alpha() ? (image.extract_band(3) * mask / 255).cast(VIPS_FORMAT_UCHAR) : mask;
        const VImage cutOut = DecodeWatch::watched(colour.bandjoin(alpha));
        ImageEncoding::encoding(url, cutOut, destination, "png",
                                [&] { ImageWriters::writePng(cutOut, destination, stop); });
    });
}

} // namespace vantory::ImageProcessor
