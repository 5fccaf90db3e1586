#include "Converters/Image/ImageTargets.h"

#include "Converters/Image/ImageWriters.h"

#include <array>

namespace vantory::ImageTargets {

namespace {

using ImagePreparation::Transparency;
using vips::VImage;
using Path = std::filesystem::path;

constexpr int jpegQuality = 92;
constexpr int heicQuality = 85;
constexpr float webpQuality = 80;

template <void (*write)(const VImage&, const Path&, const std::stop_token&)>
void readingOnce(const VImage& image, const GifEncoder::ReadAgain&, const Path& destination, const std::stop_token& stop)
{
    write(image, destination, stop);
}

// What the encoders keep, measured on 24-megapixel pictures, with a margin. The GIF encoder
// keeps a band of rows and a sample of bounded size, but decodes the picture twice.
constexpr std::array<Target, 8> targets{{
    {"png", "PNG", Transparency::keep, Availability::always, {0, 0}, readingOnce<ImageWriters::writePng>},
    {"jpg", "JPG", Transparency::flattenOntoWhite, Availability::always, {0, 0},
     [](const VImage& image, const GifEncoder::ReadAgain&, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeJpeg(image, jpegQuality, destination, stop);
     }},
    {"webp", "WebP", Transparency::keep, Availability::always, {10, 38},
     [](const VImage& image, const GifEncoder::ReadAgain&, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeWebP(image, webpQuality, destination, stop);
     }},
    {"avif", "AVIF", Transparency::keep, Availability::whereAVIFEncodes, {24, 26}, readingOnce<ImageWriters::writeAvif>},
    {"heic", "HEIC", Transparency::keep, Availability::always, {24, 26},
     [](const VImage& image, const GifEncoder::ReadAgain&, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeHeic(image, heicQuality, destination, stop);
     }},
    {"tiff", "TIFF", Transparency::keep, Availability::always, {0, 0}, readingOnce<ImageWriters::writeTiff>},
    {"gif", "GIF", Transparency::keep, Availability::always, {0, 0, 2}, ImageWriters::writeGif},
    {"bmp", "BMP", Transparency::flattenOntoWhite, Availability::always, {16, 16}, readingOnce<ImageWriters::writeBmp>},
}};

} // namespace

std::span<const Target> all()
{
    return targets;
}

const Target* find(std::string_view format)
{
    for (const Target& target : targets)
        if (target.format == format)
            return &target;
    return nullptr;
}

bool isAvailable(const Target& target)
{
    return target.availability == Availability::always || ImageWriters::canWriteAVIF();
}

} // namespace vantory::ImageTargets
