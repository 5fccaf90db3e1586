#pragma once

#include "Converters/Image/PictureBudget.h"

#include <vips/vips8>

#include <filesystem>

// Camera raw files (cr2, nef, arw, dng, orf, rw2), developed by libraw with the camera's
// white balance into 8-bit sRGB, turned upright.
namespace vantory::CameraRaw {

bool isCameraRaw(const std::filesystem::path& url);

// The developed picture, in memory; throws vips::VError when libraw cannot develop it, and
// ConversionError::pictureTooLarge before developing a picture past PictureBudget with the
// work that follows (`work`).
vips::VImage develop(const std::filesystem::path& url, PictureBudget::Kept work);

} // namespace vantory::CameraRaw
