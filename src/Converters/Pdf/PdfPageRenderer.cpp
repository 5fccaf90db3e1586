#include "Converters/Pdf/PdfPageRenderer.h"

#include "Converters/Image/ImageReader.h"
#include "Platform/VipsStartup.h"

#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <vips/vips8>

#include <bit>
#include <cmath>
#include <memory>

namespace vantory::PdfPageRenderer {

namespace {

using vips::VImage;

constexpr double pointsPerInch = 72;
// Adaptive row filters with a light zlib level: files near the size of a full
// compression for a fraction of its time.
constexpr int pngCompression = 3;

poppler::image render(const poppler::page& page)
{
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_paper_color(0xffffffff);
    renderer.set_image_format(poppler::image::format_argb32);
    const poppler::rectf box = page.page_rect(poppler::crop_box);
    const double dpi = pointsPerInch * renderScale(box.width(), box.height());
    return renderer.render_page(&page, dpi, dpi);
}

// Poppler's ARGB32 is one native-endian word per pixel: B, G, R, A in memory here.
static_assert(std::endian::native == std::endian::little);

std::string encodePng(const poppler::image& image)
{
    ensureVipsStarted();
    const size_t size = static_cast<size_t>(image.bytes_per_row()) * static_cast<size_t>(image.height());
    VImage bgra = VImage::new_from_memory(const_cast<char*>(image.const_data()), size, image.bytes_per_row() / 4, image.height(),
                                          4, VIPS_FORMAT_UCHAR);
    VImage rgb = VImage::bandjoin(std::vector<VImage>{bgra.extract_band(2), bgra.extract_band(1), bgra.extract_band(0)});
    rgb = rgb.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    if (image.bytes_per_row() / 4 != image.width())
        rgb = rgb.crop(0, 0, image.width(), image.height());
    void* buffer = nullptr;
    size_t length = 0;
    rgb.write_to_buffer(
        ".png", &buffer, &length,
        VImage::option()->set("compression", pngCompression)->set("filter", VIPS_FOREIGN_PNG_FILTER_ALL)->set("strip", true));
    const std::unique_ptr<void, ImageReader::FreeWithGlib> owned(buffer);
    return std::string(static_cast<const char*>(buffer), length);
}

} // namespace

double renderScale(double widthPoints, double heightPoints)
{
    const double area = std::abs(widthPoints * heightPoints);
    if (!(area > 0))
        return scale;
    return std::min(scale, std::sqrt(maxPixels / area));
}

std::string renderPng(const poppler::page& page)
{
    const poppler::image image = render(page);
    if (!image.is_valid() || image.width() <= 0 || image.height() <= 0)
        return {};
    try {
        return encodePng(image);
    } catch (const vips::VError&) {
        return {};
    }
}

} // namespace vantory::PdfPageRenderer
