#pragma once

#include <vips/vips8>

#include <functional>
#include <stop_token>
#include <string_view>

// Writes a picture as a one-frame GIF of up to 256 colours without holding it in memory:
// a first reading picks the palette from a sample of at most `samplePixels` pixels, a
// second maps the rows to it a band at a time, dithered, and writes them as they come.
// Alpha becomes GIF's one transparent colour: pixels less than half opaque are clear, the
// others opaque.
namespace vantory::GifEncoder {

inline constexpr long long samplePixels = 1 << 21;

// Opens the picture again for the second reading.
using ReadAgain = std::function<vips::VImage()>;
// Takes the file's bytes in order.
using Sink = std::function<void(std::string_view bytes)>;

// `image` is 8-bit sRGB, three bands or four with alpha, at most 65535 pixels a side.
// Throws ConversionCancelled once `stop` is requested, vips::VError when the picture cannot
// be read or encoded, and whatever `sink` throws.
void encode(const vips::VImage& image, const ReadAgain& readAgain, const Sink& sink, const std::stop_token& stop);

} // namespace vantory::GifEncoder
