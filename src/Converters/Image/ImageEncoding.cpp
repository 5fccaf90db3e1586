#include "Converters/Image/ImageEncoding.h"

#include "Converters/ConversionError.h"
#include "Converters/Image/DecodeWatch.h"
#include "Converters/OutputNaming.h"

namespace vantory::ImageEncoding {

using vips::VImage;

VImage loadForEncoding(const std::filesystem::path& url, ImagePreparation::Transparency transparency, PictureBudget::Kept work)
{
    try {
        return DecodeWatch::watched(ImagePreparation::forEncoding(ImagePreparation::openUpright(url, work), transparency));
    } catch (const vips::VError&) {
        vips_error_clear();
        throw ConversionError::loadFailed(url);
    }
}

std::filesystem::path destinationFor(const std::filesystem::path& url, const std::filesystem::path& outputFolder,
                                     const std::string& infix, const std::string& format)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + infix, format);
}

void encoding(const std::filesystem::path& url, const VImage& image, const std::filesystem::path& destination,
              const std::string& format, const std::function<void()>& write)
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

} // namespace vantory::ImageEncoding
