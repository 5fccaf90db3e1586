#include "Converters/Image/CameraRaw.h"

#include "Converters/Image/ImageReader.h"
#include "Converters/OutputNaming.h"
#include "Platform/PathNames.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <memory>

namespace vantory::CameraRaw {

namespace {

constexpr std::array rawExtensions{"cr2", "nef", "arw", "dng", "orf", "rw2"};
// The raw samples, libraw's four 16-bit channels per pixel and the developed copy.
constexpr double developingBytesPerPixel = 16;

struct ProcessedImageDeleter {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

void check(int status)
{
    if (status != LIBRAW_SUCCESS)
        throw vips::VError(std::string("camera raw: ") + libraw_strerror(status));
}

} // namespace

bool isCameraRaw(const std::filesystem::path& url)
{
    const std::string extension = OutputNaming::normalize(pathExtension(url));
    for (const char* raw : rawExtensions)
        if (extension == raw)
            return true;
    return false;
}

vips::VImage develop(const std::filesystem::path& url, PictureBudget::Kept work)
{
    // LibRaw is large (its buffers are members), so it lives on the heap.
    const auto raw = std::make_unique<LibRaw>();
    raw->imgdata.params.use_camera_wb = 1;
    raw->imgdata.params.output_color = 1; // sRGB
    raw->imgdata.params.output_bps = 8;
    check(raw->open_file(url.c_str()));
    const auto& sizes = raw->imgdata.sizes;
    PictureBudget::require(url, std::max(sizes.width, sizes.raw_width), std::max(sizes.height, sizes.raw_height),
                           developingBytesPerPixel + work.opaque);
    check(raw->unpack());
    check(raw->dcraw_process());
    int status = LIBRAW_SUCCESS;
    const std::unique_ptr<libraw_processed_image_t, ProcessedImageDeleter> developed(raw->dcraw_make_mem_image(&status));
    check(status);
    if (!developed || developed->type != LIBRAW_IMAGE_BITMAP || developed->bits != 8
        || (developed->colors != 3 && developed->colors != 1))
        throw vips::VError("camera raw: no 8-bit picture");
    return ImageReader::copyOfPixels(developed->data, developed->data_size, developed->width, developed->height,
                                     developed->colors)
        .copy(vips::VImage::option()->set("interpretation",
                                          developed->colors == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
}

} // namespace vantory::CameraRaw
