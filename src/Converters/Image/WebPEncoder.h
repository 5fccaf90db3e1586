#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The one WebP writer: libwebp's simple lossy encoder.
namespace vantory::WebPEncoder {

// libwebp's largest width or height.
inline constexpr int maxDimension = 16383;

// Encodes `width` x `height` pixels stored R, G, B, A, one byte each, rows back to back,
// with straight (not premultiplied) alpha. Returns the WebP file's bytes, or nothing
// when the size is outside libwebp's range or the encoder fails. `quality` is 0 to 100.
std::optional<std::string> encode(const std::uint8_t* rgba, int width, int height, float quality);

} // namespace vantory::WebPEncoder
