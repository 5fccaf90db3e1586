#include "Converters/Pdf/PdfImageSource.h"

#include "Converters/Image/ImageReader.h"

#include <vips/vips8>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vantory::PdfImageSource {

namespace {

using vips::VImage;

constexpr double defaultDpi = 72;
constexpr std::size_t stripBytes = 4 << 20;

struct Unref {
    void operator()(VipsRegion* region) const { g_object_unref(region); }
};
constexpr double millimetresPerInch = 25.4;

// vips reports 1 pixel per millimetre when a file names no resolution. Files that
// store whole pixels per metre (PNG) turn 72 dpi into 72.009: such values are rounded.
double dpi(double pixelsPerMillimetre)
{
    const double value = pixelsPerMillimetre * millimetresPerInch;
    const bool unstated = std::abs(pixelsPerMillimetre - 1.0) < 1e-6;
    if (unstated || !std::isfinite(value) || value < 1 || value > 100000)
        return defaultDpi;
    const double whole = std::round(value);
    return std::abs(value - whole) < 0.05 ? whole : value;
}

int orientation(const VImage& image)
{
    if (image.get_typeof(VIPS_META_ORIENTATION) == 0)
        return 1;
    const int value = image.get_int(VIPS_META_ORIENTATION);
    return value >= 1 && value <= 8 ? value : 1;
}

bool isPlain(const VImage& image, int colourBands)
{
    if (image.format() != VIPS_FORMAT_UCHAR)
        return false;
    return (colourBands == 3 && image.interpretation() == VIPS_INTERPRETATION_sRGB)
           || (colourBands == 1 && image.interpretation() == VIPS_INTERPRETATION_B_W);
}

// The embedded profile when it describes the image's own colour model.
std::string iccProfile(const VImage& image, int colourBands)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) == 0)
        return {};
    size_t length = 0;
    const auto* data = static_cast<const char*>(image.get_blob(VIPS_META_ICC_NAME, &length));
    constexpr size_t headerLength = 128;
    if (data == nullptr || length < headerLength)
        return {};
    const std::string model(data + 16, 4);
    if ((colourBands == 3 && model == "RGB ") || (colourBands == 1 && model == "GRAY"))
        return std::string(data, length);
    return {};
}

bool isJpeg(const VImage& image)
{
    return std::string(image.get_string("vips-loader")).starts_with("jpegload");
}

int targetColourBands(const VImage& image)
{
    const int colour = image.bands() - (image.has_alpha() ? 1 : 0);
    return colour <= 2 && image.interpretation() != VIPS_INTERPRETATION_CMYK ? 1 : 3;
}

// The image in 8-bit sRGB or grey, with at most one alpha band last.
VImage converted(const VImage& image, const Layout& layout)
{
    VImage result = image;
    if (layout.needsColourConversion) {
        result = result.colourspace(layout.colourBands == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB);
        if (result.format() != VIPS_FORMAT_UCHAR)
            result = result.cast(VIPS_FORMAT_UCHAR);
    }
    const int wanted = layout.colourBands + (layout.hasAlpha ? 1 : 0);
    if (result.bands() == wanted)
        return result;
    VImage colour = result.extract_band(0, VImage::option()->set("n", layout.colourBands));
    return layout.hasAlpha ? colour.bandjoin(result.extract_band(result.bands() - 1)) : colour;
}

} // namespace

Layout describe(const std::filesystem::path& url)
{
    const VImage image = ImageReader::load(url, {});
    Layout layout;
    layout.width = image.width();
    layout.height = image.height();
    layout.widthPoints = layout.width * 72.0 / dpi(image.xres());
    layout.heightPoints = layout.height * 72.0 / dpi(image.yres());
    layout.orientation = orientation(image);
    layout.hasAlpha = image.has_alpha();
    layout.colourBands = targetColourBands(image);
    const int colourBands = image.bands() - (layout.hasAlpha ? 1 : 0);
    layout.needsColourConversion = colourBands != layout.colourBands || !isPlain(image, colourBands);
    layout.embedFileAsJpeg = isJpeg(image) && !layout.hasAlpha && !layout.needsColourConversion;
    if (!layout.needsColourConversion)
        layout.iccProfile = iccProfile(image, layout.colourBands);
    return layout;
}

void decodeBands(const std::filesystem::path& url, const Layout& layout, int first, int count, const Sink& sink)
{
    VImage image = converted(ImageReader::load(url, {}), layout);
    if (image.width() != layout.width || image.height() != layout.height)
        throw vips::VError("the image changed while it was being read");
    if (count != image.bands())
        image = image.extract_band(first, VImage::option()->set("n", count));
    const auto rowBytes = static_cast<std::size_t>(VIPS_IMAGE_SIZEOF_LINE(image.get_image()));
    const int rowsAtATime = static_cast<int>(std::clamp<std::size_t>(stripBytes / rowBytes, 1, 256));
    // Computed on this thread, top to bottom, as the decoder reads the file: a failure
    // comes back here, and only a strip is held at a time.
    const std::unique_ptr<VipsRegion, Unref> region(vips_region_new(image.get_image()));
    for (int top = 0; top < image.height(); top += rowsAtATime) {
        const VipsRect strip{0, top, image.width(), std::min(rowsAtATime, image.height() - top)};
        if (vips_region_prepare(region.get(), &strip) != 0)
            throw vips::VError();
        for (int y = strip.top; y < strip.top + strip.height; ++y)
            sink(reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region.get(), 0, y)), rowBytes);
    }
}

} // namespace vantory::PdfImageSource
