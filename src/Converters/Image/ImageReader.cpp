#include "Converters/Image/ImageReader.h"

#include "Converters/Image/CameraRaw.h"
#include "Converters/Image/MagickFormats.h"
#include "Converters/OutputNaming.h"
#include "Platform/InputFile.h"
#include "Platform/VipsStartup.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <string_view>

namespace vantory::ImageReader {

namespace {

using vips::VImage;

// The libvips loaders for picture formats, with the bytes of every pixel each keeps while
// it decodes (for 8-bit samples; deeper samples take more): 0 for those that decode a few
// rows at a time, more for those that decode the whole picture at once. Others that libvips
// has (CSV, matrix, raw data, PDF, ImageMagick's catch-all) would take files that are not
// pictures.
struct Loader {
    std::string_view name;
    double keptBytesPerPixel;
    double keptWhenInterlaced; // progressive JPEG, interlaced PNG
};

constexpr std::array<Loader, 12> pictureLoaders{{
    {"jpegload", 0, 12}, // a progressive JPEG's coefficients
    {"pngload", 0, 5},
    {"gifload", 8, 8},
    {"tiffload", 4, 4}, // one strip may be the whole picture
    {"webpload", 10, 10},
    {"heifload", 10, 10},
    {"svgload", 5, 5},
    {"jp2kload", 8, 8},
    {"jxlload", 36, 36},
    {"ppmload", 0, 0},
    {"radload", 0, 0},
    {"fitsload", 4, 4},
}};

// The formats below are read without a source loader.
constexpr double exrKeptBytesPerPixel = 3;
constexpr double magickKeptBytesPerPixel = 18; // ImageMagick's 16-bit pixel cache and libvips' copy
constexpr std::string_view exrSignature("\x76\x2f\x31\x01", 4);

const std::set<std::string, std::less<>> readExtensions{
    "png", "jpg",  "jpeg", "jpe", "gif", "tif", "tiff", "webp", "heic", "heif", "hif", "avif",
    "jp2", "jpg2", "j2k",  "j2c", "jpc", "jxl", "svg",  "svgz", "pbm",  "pgm",  "ppm", "pnm",
    "bmp", "dib",  "ico",  "cur", "psd", "exr",
};

const Loader* pictureLoader(std::string_view name)
{
    for (const auto& loader : pictureLoaders)
        if (name.starts_with(loader.name))
            return &loader;
    return nullptr;
}

std::string firstBytes(const std::filesystem::path& url, std::size_t count)
{
    std::ifstream file(url, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

bool isInterlaced(const VImage& image)
{
    return image.get_typeof("interlaced") != 0 && image.get_int("interlaced") != 0;
}

// The picture once its header says it fits with what the decoder and the work keep.
VImage withinBudget(const std::filesystem::path& url, VImage image, double decoderBytesPerPixel, PictureBudget::Kept work)
{
    const double sampleBytes = static_cast<double>(vips_format_sizeof(image.format()));
    PictureBudget::require(url, image.width(), image.height(),
                           decoderBytesPerPixel * sampleBytes * work.decodes + work.of(image.has_alpha()));
    return image;
}

vips::VOption* loadOptions(VipsAccess access)
{
    return VImage::option()->set("access", access)->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
}

// ImageMagick gets the bytes, never the name: it reads "[...]" in a name as frame options.
VImage loadWithImageMagick(std::string bytes)
{
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

// Read by loaders that take no source, by their own signatures.
VImage loadBySignature(const std::filesystem::path& url, PictureBudget::Kept work, VipsAccess access)
{
    const std::string head = firstBytes(url, std::max(exrSignature.size(), MagickFormats::signaturePrefixSize));
    if (head.starts_with(exrSignature))
        // Named straight to the loader, so "[...]" in the name stays part of it.
        return withinBudget(url, VImage::openexrload(url.c_str(), loadOptions(access)), exrKeptBytesPerPixel,
                            work);
    // Only a file that begins like one of ImageMagick's formats is read whole.
    if (MagickFormats::mayCarrySignature(head)) {
        std::string bytes = readFileBytes(url);
        if (const auto format = MagickFormats::recognise(bytes)) {
            // Weighed on the header's word: ImageMagick allocates while it reads the header.
            const auto declared = MagickFormats::declaredSize(bytes, *format);
            PictureBudget::require(url, declared.width, declared.height,
                                   magickKeptBytesPerPixel * work.decodes + work.withAlpha);
            return withinBudget(url, loadWithImageMagick(MagickFormats::forImageMagick(std::move(bytes), *format)),
                                magickKeptBytesPerPixel, work);
        }
    }
    throw vips::VError("not a picture this program reads");
}

// Marks a picture whose pixels may be read more than once; pictures made from it keep
// the mark.
constexpr const char* anyOrderKey = "vantory-any-order";

VImage readableInAnyOrder(VImage image)
{
    image.set(anyOrderKey, 1);
    return image;
}

// Read by libvips from the file's content, or by the loaders of loadBySignature.
VImage loadAnyFile(const std::filesystem::path& url, PictureBudget::Kept work, VipsAccess access)
{
    // Through a source: libvips takes "[...]" at the end of a file name for load options.
    const vips::VSource source = vips::VSource::new_from_file(url.c_str());
    const char* loaderType = vips_foreign_find_load_source(source.get_source());
    const char* name = loaderType != nullptr ? vips_nickname_find(g_type_from_name(loaderType)) : nullptr;
    if (const Loader* loader = name != nullptr ? pictureLoader(name) : nullptr) {
        VImage image = VImage::new_from_source(source, "", loadOptions(access));
        return withinBudget(url, image, isInterlaced(image) ? loader->keptWhenInterlaced : loader->keptBytesPerPixel,
                            work);
    }
    vips_error_clear();
    return loadBySignature(url, work, access);
}

} // namespace

VImage load(const std::filesystem::path& url, PictureBudget::Kept work, VipsAccess access)
{
    ensureVipsStarted();
    if (CameraRaw::isCameraRaw(url))
        return readableInAnyOrder(CameraRaw::develop(url, work));
    if (access == VIPS_ACCESS_RANDOM)
        return readableInAnyOrder(loadAnyFile(url, work, access));
    return loadAnyFile(url, work, access);
}

bool readsInAnyOrder(const VImage& image)
{
    return image.get_typeof(anyOrderKey) != 0;
}

bool readsExtension(const std::string& extension)
{
    const std::string lower = OutputNaming::normalize(extension);
    return readExtensions.contains(lower) || CameraRaw::isCameraRaw(std::filesystem::path("x." + lower));
}

VImage copyOfPixels(const void* pixels, std::size_t size, int width, int height, int bands)
{
    VipsImage* image = vips_image_new_from_memory_copy(pixels, size, width, height, bands, VIPS_FORMAT_UCHAR);
    if (image == nullptr)
        throw vips::VError();
    return VImage(image, vips::STEAL);
}

} // namespace vantory::ImageReader
