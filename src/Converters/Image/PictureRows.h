#pragma once

#include <vips/vips8>

#include <cstdint>
#include <functional>
#include <stop_token>

// Reads a picture's rows once, top to bottom, computing them on libvips' threads a strip at
// a time, so only a few strips are in memory however tall the picture is.
namespace vantory::PictureRows {

// One row: the picture's bands of 8-bit samples, pixel after pixel.
using Row = std::function<void(const std::uint8_t* pixels, int y)>;

// Hands every row of `image` (8-bit samples) to `row`, in order. Throws ConversionCancelled
// once `stop` is requested, vips::VError when a pixel cannot be computed, and whatever
// `row` throws.
void each(const vips::VImage& image, const std::stop_token& stop, const Row& row);

} // namespace vantory::PictureRows
