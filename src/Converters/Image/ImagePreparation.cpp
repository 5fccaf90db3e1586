#include "Converters/Image/ImagePreparation.h"

#include "Converters/Image/ImageReader.h"

namespace vantory::ImagePreparation {

namespace {

using vips::VImage;

int orientationOf(const VImage& image)
{
    return image.get_typeof(VIPS_META_ORIENTATION) != 0 ? image.get_int(VIPS_META_ORIENTATION) : 1;
}

// Alpha, when present, is the last band; colour profiles keep it untouched.
VImage inSrgb(const VImage& image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) != 0) {
        try {
            return image.icc_transform("srgb", VImage::option()->set("embedded", true)->set("depth", 8));
        } catch (const vips::VError&) {
            // A profile lcms cannot use: the colours are taken as they are stored.
            vips_error_clear();
        }
    }
    VImage result = image;
    // A picture without a colour model (two bands read as "multiband") is grey and alpha.
    if (result.interpretation() == VIPS_INTERPRETATION_MULTIBAND && result.bands() <= 2)
        result = result.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_B_W));
    if (result.interpretation() != VIPS_INTERPRETATION_sRGB)
        result = result.colourspace(VIPS_INTERPRETATION_sRGB);
    return result;
}

} // namespace

VImage openUpright(const std::filesystem::path& url, PictureBudget::Kept work)
{
    const VImage image = ImageReader::load(url, work);
    if (orientationOf(image) == 1)
        return image;
    // Turning needs the pixels in any order, not only top to bottom: the decoded picture
    // is kept whole.
    const auto decoded = static_cast<double>(VIPS_IMAGE_SIZEOF_PEL(image.get_image()));
    return ImageReader::load(url, {work.opaque + decoded, work.withAlpha + decoded}, VIPS_ACCESS_RANDOM).autorot();
}

VImage forEncoding(const VImage& image, Transparency transparency)
{
    VImage result = inSrgb(image);
    if (result.format() != VIPS_FORMAT_UCHAR)
        result = result.cast(VIPS_FORMAT_UCHAR);
    const bool hasAlpha = result.has_alpha();
    if (hasAlpha && transparency == Transparency::flattenOntoWhite)
        return result.flatten(VImage::option()->set("background", std::vector<double>{255, 255, 255})).cast(VIPS_FORMAT_UCHAR);
    const int wanted = hasAlpha ? 4 : 3;
    if (result.bands() == wanted)
        return result;
    VImage colour = result.extract_band(0, VImage::option()->set("n", 3));
    return hasAlpha ? colour.bandjoin(result.extract_band(result.bands() - 1)) : colour;
}

} // namespace vantory::ImagePreparation
