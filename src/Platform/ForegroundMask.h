#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// A stand-in for a learned subject detector: separates the subject from the background
// by colour (GrabCut), assuming the subject sits inside the picture and does not touch
// its border. It knows nothing of what a subject is, and busy backgrounds confuse it.
namespace vantory::ForegroundMask {

// `rgb`: width x height pixels, R, G, B one byte each, rows back to back. Returns one
// byte per pixel, 255 for the subject, 0 for the background, soft in between; nothing
// when no subject stands out (a near-uniform picture, or almost no foreground).
std::optional<std::vector<std::uint8_t>> find(const std::uint8_t* rgb, int width, int height);

} // namespace vantory::ForegroundMask
