#pragma once

#include "Converters/Image/GifEncoder.h"
#include "Converters/Image/ImagePreparation.h"
#include "Converters/Image/PictureBudget.h"

#include <filesystem>
#include <span>
#include <stop_token>
#include <string_view>

// The formats the convert action writes, in the order its menu lists them. One row holds
// everything about a format, its writer included, so the menu offers exactly what can be
// written.
namespace vantory::ImageTargets {

enum class Availability { always, whereAVIFEncodes };

// `readAgain` opens the picture once more, for an encoder that reads it twice.
using Writer = void (*)(const vips::VImage& image, const GifEncoder::ReadAgain& readAgain,
                        const std::filesystem::path& destination, const std::stop_token& stop);

struct Target {
    std::string_view format; // the output's extension, as normalised
    std::string_view label; // the format pill's text
    ImagePreparation::Transparency transparency;
    Availability availability;
    PictureBudget::Kept kept; // what the encoder keeps of every pixel
    Writer write; // takes 8-bit sRGB, three bands or four with alpha
};

std::span<const Target> all();

// The row of `format` (normalised), or nullptr when it is no target.
const Target* find(std::string_view format);

// Whether this machine can write the target; the AVIF encoder is probed once per process.
bool isAvailable(const Target& target);

} // namespace vantory::ImageTargets
