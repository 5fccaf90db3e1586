#pragma once

#include <vips/vips8>

#include <cstdint>
#include <filesystem>

// Turns a loaded picture into what every encoder here takes. The steps are lazy: pixels
// are decoded while the encoder reads them.
namespace vantory::ImagePreparation {

enum class Transparency { keep, flattenOntoWhite };

// Past this many pixels a picture is not converted: the whole-image encoders hold it in
// memory more than once.
inline constexpr std::uint64_t pixelBudget = std::uint64_t(1) << 28;

// The picture, turned upright by its orientation tag; throws vips::VError when the file
// is not a picture this program reads.
vips::VImage openUpright(const std::filesystem::path& url);

// 8-bit sRGB through the embedded colour profile when there is one, three bands, and a
// fourth for alpha when the picture has alpha and `transparency` keeps it.
vips::VImage forEncoding(const vips::VImage& image, Transparency transparency);

// Whether every pixel of the file can be decoded: tells a damaged input from a failing
// encoder once a conversion has failed.
bool decodesWhole(const std::filesystem::path& url);

} // namespace vantory::ImagePreparation
