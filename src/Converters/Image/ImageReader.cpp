#include "Converters/Image/ImageReader.h"

#include "Converters/Image/CameraRaw.h"
#include "Platform/InputFile.h"
#include "Platform/VipsStartup.h"

#include <array>
#include <fstream>
#include <string_view>

namespace vantory::ImageReader {

namespace {

using vips::VImage;

// The libvips loaders for picture formats. Others that libvips has (CSV, matrix, raw
// data, PDF, ImageMagick's catch-all) would take files that are not pictures.
constexpr std::array<std::string_view, 12> pictureLoaders{
    "jpegload", "pngload",  "gifload", "tiffload", "webpload", "heifload",
    "svgload",  "jp2kload", "jxlload", "ppmload",  "radload",  "fitsload",
};

// Formats libvips reads only through ImageMagick, by their first bytes; BMP is by far the
// most common.
constexpr std::array<std::string_view, 4> magickHeaders{
    std::string_view("BM", 2), // BMP
    std::string_view("\0\0\1\0", 4), // ICO
    std::string_view("\0\0\2\0", 4), // CUR
    std::string_view("8BPS", 4), // Photoshop
};

bool isPictureLoader(std::string_view loader)
{
    for (const auto prefix : pictureLoaders)
        if (loader.starts_with(prefix))
            return true;
    return false;
}

std::string firstBytes(const std::filesystem::path& url, std::size_t count)
{
    std::ifstream file(url, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

bool isReadByImageMagick(const std::filesystem::path& url)
{
    const std::string header = firstBytes(url, 4);
    for (const auto magic : magickHeaders)
        if (std::string_view(header).starts_with(magic))
            return true;
    return false;
}

vips::VOption* loadOptions(VipsAccess access)
{
    return VImage::option()->set("access", access)->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
}

// ImageMagick gets the bytes, never the name: it reads "[...]" in a name as frame options.
VImage loadWithImageMagick(const std::filesystem::path& url)
{
    const std::string bytes = readFileBytes(url);
    VipsBlob* blob = vips_blob_copy(bytes.data(), bytes.size());
    try {
        VImage image = VImage::magickload_buffer(blob, VImage::option()->set("fail_on", VIPS_FAIL_ON_TRUNCATED));
        vips_area_unref(VIPS_AREA(blob));
        return image;
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
}

} // namespace

VImage load(const std::filesystem::path& url, VipsAccess access)
{
    ensureVipsStarted();
    if (CameraRaw::isCameraRaw(url))
        return CameraRaw::develop(url);
    // Through a source: libvips takes "[...]" at the end of a file name for load options.
    const vips::VSource source = vips::VSource::new_from_file(url.c_str());
    const char* loaderType = vips_foreign_find_load_source(source.get_source());
    const char* loader = loaderType != nullptr ? vips_nickname_find(g_type_from_name(loaderType)) : nullptr;
    if (loader != nullptr && isPictureLoader(loader))
        return VImage::new_from_source(source, "", loadOptions(access));
    vips_error_clear();
    if (isReadByImageMagick(url))
        return loadWithImageMagick(url);
    throw vips::VError("not a picture this program reads");
}

VImage copyOfPixels(const void* pixels, std::size_t size, int width, int height, int bands)
{
    VipsImage* image = vips_image_new_from_memory_copy(pixels, size, width, height, bands, VIPS_FORMAT_UCHAR);
    if (image == nullptr)
        throw vips::VError();
    return VImage(image, vips::STEAL);
}

} // namespace vantory::ImageReader
