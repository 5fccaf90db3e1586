#pragma once

#include "Converters/Image/PictureBudget.h"

#include <vips/vips8>

#include <filesystem>

// Turns a loaded picture into what every encoder here takes. The steps are lazy: pixels
// are decoded while the encoder reads them.
namespace vantory::ImagePreparation {

enum class Transparency { keep, flattenOntoWhite };

// The picture, turned upright by its orientation tag. `work` is what the work that follows
// keeps of every pixel (see ImageReader::load). Throws
// vips::VError when the file is not a picture this program reads, and
// ConversionError::pictureTooLarge before decoding a picture past PictureBudget.
vips::VImage openUpright(const std::filesystem::path& url, PictureBudget::Kept work);

// 8-bit sRGB through the embedded colour profile when there is one, three bands, and a
// fourth for alpha when the picture has alpha and `transparency` keeps it.
vips::VImage forEncoding(const vips::VImage& image, Transparency transparency);

} // namespace vantory::ImagePreparation
