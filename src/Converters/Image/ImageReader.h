#pragma once

#include "Converters/Image/PictureBudget.h"

#include <vips/vips8>

#include <cstddef>
#include <filesystem>

// Opens an image file for the image and PDF processors. Camera raw files are developed
// by libraw; everything else is read by libvips from the file's content, whatever its
// name says. ImageMagick reads only the few formats libvips lacks, recognised by their
// signatures, never content nothing here recognises. Truncated files fail when their
// pixels are read.
namespace vantory::ImageReader {

// The picture, its pixels not decoded yet (camera raw excepted). What the decoder keeps
// and what the work that follows keeps (`work`) must fit PictureBudget together, or
// ConversionError::pictureTooLarge is thrown before anything is decoded. Throws
// vips::VError when the file is not an image this program reads.
vips::VImage load(const std::filesystem::path& url, PictureBudget::Kept work, VipsAccess access = VIPS_ACCESS_SEQUENTIAL);

// Whether the pixels of `image`, or of a picture made from it, may be read more than once:
// it was opened for reading in any order, or decoded whole.
bool readsInAnyOrder(const vips::VImage& image);

// Whether a file named with `extension` (any case) is a kind of picture this reader takes.
bool readsExtension(const std::string& extension);

// A copy of `width` x `height` 8-bit pixels of `bands` bands, rows back to back, as an
// image of its own; throws vips::VError.
vips::VImage copyOfPixels(const void* pixels, std::size_t size, int width, int height, int bands);

// The deleter for memory libvips hands over (write_to_memory, write_to_buffer).
struct FreeWithGlib {
    void operator()(void* data) const { g_free(data); }
};

} // namespace vantory::ImageReader
