#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace vantory::PdfImageSource {

// How one image file goes into a PDF page.
struct Layout {
    int width = 0; // stored pixels, before orientation
    int height = 0;
    double widthPoints = 0; // size of the stored pixel grid at the image's resolution
    double heightPoints = 0;
    int colourBands = 3; // 1 (grey) or 3 (RGB)
    bool hasAlpha = false;
    bool embedFileAsJpeg = false; // the file's bytes are the stream, decoded by the viewer
    bool needsColourConversion = false;
    int orientation = 1; // EXIF orientation, 1..8
    std::string iccProfile; // empty when the colours are plain sRGB or grey
};

// Reads the image's header; throws vips::VError when the file is not an image, and
// ConversionError::pictureTooLarge when its decoder would keep more than PictureBudget.
Layout describe(const std::filesystem::path& url);

// Receives pixel bytes, a few rows at a time.
using Sink = std::function<void(const std::uint8_t* bytes, std::size_t size)>;

// Decodes the image as `layout` describes it, 8-bit, each pixel its colour bands followed
// by alpha when present, and hands `sink` bands `first` to `first + count - 1` of every
// pixel, row after row, a few rows at a time. Throws vips::VError.
void decodeBands(const std::filesystem::path& url, const Layout& layout, int first, int count, const Sink& sink);

} // namespace vantory::PdfImageSource
