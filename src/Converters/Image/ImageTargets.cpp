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

// What the encoders keep, measured on 24-megapixel pictures, with a margin.
constexpr std::array<Target, 8> targets{{
    {"png", "PNG", Transparency::keep, Availability::always, {0, 0}, ImageWriters::writePng},
    {"jpg", "JPG", Transparency::flattenOntoWhite, Availability::always, {0, 0},
     [](const VImage& image, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeJpeg(image, jpegQuality, destination, stop);
     }},
    {"webp", "WebP", Transparency::keep, Availability::always, {10, 38},
     [](const VImage& image, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeWebP(image, webpQuality, destination, stop);
     }},
    {"avif", "AVIF", Transparency::keep, Availability::whereAVIFEncodes, {24, 26}, ImageWriters::writeAvif},
    {"heic", "HEIC", Transparency::keep, Availability::always, {24, 26},
     [](const VImage& image, const Path& destination, const std::stop_token& stop) {
         ImageWriters::writeHeic(image, heicQuality, destination, stop);
     }},
    {"tiff", "TIFF", Transparency::keep, Availability::always, {0, 0}, ImageWriters::writeTiff},
    {"gif", "GIF", Transparency::keep, Availability::always, {14, 14}, ImageWriters::writeGif},
    {"bmp", "BMP", Transparency::flattenOntoWhite, Availability::always, {16, 16}, ImageWriters::writeBmp},
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
