#pragma once

#include <optional>
#include <string>
#include <string_view>

// The formats libvips reads only through ImageMagick: BMP, ICO, CUR and Photoshop, each
// told by its own signature. Nothing else is handed to ImageMagick, whose readers would
// take many formats nothing here offers.
namespace vantory::MagickFormats {

enum class Format { bmp, ico, cur, psd };

// The format whose signature `bytes` (a whole file) carries, if one of the four.
std::optional<Format> recognise(std::string_view bytes);

// `bytes` as ImageMagick must be given them. ImageMagick has no signature for a cursor
// and reads one with another format's reader: it gets the cursor as an icon, whose
// layout is the same but for the type and the hotspot in place of colour planes.
std::string forImageMagick(std::string bytes, Format format);

} // namespace vantory::MagickFormats
