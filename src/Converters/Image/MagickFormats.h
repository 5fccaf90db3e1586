#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The formats libvips reads only through ImageMagick: BMP, ICO, CUR and Photoshop, each
// told by its own signature. Nothing else is handed to ImageMagick, whose readers would
// take many formats nothing here offers.
namespace vantory::MagickFormats {

enum class Format { bmp, ico, cur, psd };

// How many of a file's first bytes `mayCarrySignature` looks at.
constexpr std::size_t signaturePrefixSize = 4;

// Whether a file beginning with `head` (its first signaturePrefixSize bytes) can carry one
// of the four signatures; only then is the whole file worth reading to recognise it.
bool mayCarrySignature(std::string_view head);

// The format whose signature `bytes` (a whole file) carries, if one of the four.
std::optional<Format> recognise(std::string_view bytes);

struct Size {
    int width = 0;
    int height = 0;
};

// The largest picture the file's header declares (for an icon, its largest image), read
// before ImageMagick sees the file; `bytes` carries `format`'s signature.
Size declaredSize(std::string_view bytes, Format format);

// `bytes` as ImageMagick must be given them. ImageMagick has no signature for a cursor
// and reads one with another format's reader: it gets the cursor as an icon, whose
// layout is the same but for the type and the hotspot in place of colour planes.
std::string forImageMagick(std::string bytes, Format format);

} // namespace vantory::MagickFormats
