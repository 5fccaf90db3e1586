#pragma once

#include "Converters/Image/ImageReader.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
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

// Reads the image's header; throws vips::VError when the file is not an image.
Layout describe(const std::filesystem::path& url);

// 8-bit pixels in rows, each pixel its colour bands followed by alpha when present.
struct Pixels {
    std::unique_ptr<std::uint8_t, ImageReader::FreeWithGlib> data;
    std::size_t size = 0;
};

// Decodes the whole image as `layout` describes it; throws vips::VError.
Pixels decode(const std::filesystem::path& url, const Layout& layout);

} // namespace vantory::PdfImageSource
