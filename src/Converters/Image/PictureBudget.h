#pragma once

#include <cstdint>
#include <filesystem>

// The memory one picture may take while a job works on it, checked from the picture's
// header before any pixel is decoded. Steps that work a few rows at a time cost nothing
// per pixel; steps that keep the whole picture (some decoders, some encoders, background
// removal) say how many bytes of each pixel they keep, and a job's steps add up.
namespace vantory::PictureBudget {

// What a job's pixels may take at once. With the process's own few hundred MiB, no
// picture takes the process past 1 GiB.
inline constexpr std::uint64_t bytes = std::uint64_t(640) << 20;

// Rows in flight take memory in proportion to the width; no format written here goes
// past this side either.
inline constexpr int longestSide = 65535;

// However few bytes the steps keep, a picture has at most this many pixels (32768 x 32768):
// past it, even a picture read a few rows at a time would take minutes and gigabytes of
// output.
inline constexpr std::uint64_t mostPixels = std::uint64_t(1) << 30;

// What a step keeps of every pixel at once, in bytes: 0 for a step that works a few rows at
// a time. Encoders of transparency keep more.
struct Kept {
    double opaque = 0;
    double withAlpha = 0;
    // How many times the work decodes the picture while it holds it: each decoding keeps
    // what its decoder keeps.
    int decodes = 1;

    double of(bool hasAlpha) const { return hasAlpha ? withAlpha : opaque; }
};

// Throws ConversionError::pictureTooLarge naming `url` when a picture of `width` x `height`
// does not fit with steps that keep `bytesPerPixel` bytes of every pixel at once, or has a
// side or a pixel count past the limits above.
void require(const std::filesystem::path& url, int width, int height, double bytesPerPixel);

} // namespace vantory::PictureBudget
