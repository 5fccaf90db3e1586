#include "Converters/Image/MagickFormats.h"

#include <algorithm>
#include <array>
#include <limits>

namespace vantory::MagickFormats {

namespace {

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int length)
{
    std::uint32_t value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint32_t bigEndian(std::string_view bytes, std::size_t at, int length)
{
    std::uint32_t value = 0;
    for (int i = 0; i < length; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

constexpr std::string_view pngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::string_view bmpSignature("BM");
constexpr std::string_view photoshopSignature("8BPS");
constexpr std::uint32_t iconType = 1;
constexpr std::uint32_t cursorType = 2;
constexpr std::uint32_t bitmapInfoHeaderSize = 40;

// "BM", the file header, then an info header of one of the sizes Windows has defined.
bool isBmp(std::string_view bytes)
{
    constexpr std::array<std::uint32_t, 7> infoHeaderSizes{12, 40, 52, 56, 64, 108, 124};
    if (bytes.size() < 26 || !bytes.starts_with(bmpSignature))
        return false;
    const std::uint32_t infoSize = littleEndian(bytes, 14, 4);
    const std::uint32_t pixelsAt = littleEndian(bytes, 10, 4);
    bool knownSize = false;
    for (const auto size : infoHeaderSizes)
        knownSize = knownSize || infoSize == size;
    return knownSize && pixelsAt >= 14 + infoSize && pixelsAt <= bytes.size();
}

// Two zero bytes, then the directory's type.
bool startsIconDirectory(std::string_view bytes, std::uint32_t type)
{
    return bytes.size() >= 4 && littleEndian(bytes, 0, 2) == 0 && littleEndian(bytes, 2, 2) == type;
}

// An icon directory (iconType) or a cursor directory (cursorType): every entry points
// inside the file at a bitmap info header or a PNG.
bool isIconDirectory(std::string_view bytes, std::uint32_t type)
{
    constexpr std::size_t directoryHeader = 6;
    constexpr std::size_t entrySize = 16;
    if (bytes.size() < directoryHeader || !startsIconDirectory(bytes, type))
        return false;
    const std::size_t count = littleEndian(bytes, 4, 2);
    const std::size_t imagesStart = directoryHeader + count * entrySize;
    if (count == 0 || imagesStart > bytes.size())
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = directoryHeader + i * entrySize;
        const std::size_t size = littleEndian(bytes, entry + 8, 4);
        const std::size_t at = littleEndian(bytes, entry + 12, 4);
        if (at < imagesStart || size < 8 || at > bytes.size() || size > bytes.size() - at)
            return false;
        const std::string_view image = bytes.substr(at, size);
        if (!image.starts_with(pngSignature) && littleEndian(image, 0, 4) != bitmapInfoHeaderSize)
            return false;
    }
    return true;
}

// "8BPS", version 1 (PSD) or 2 (large document), six zero bytes, then plausible channels,
// depth and colour mode.
bool isPhotoshop(std::string_view bytes)
{
    constexpr std::size_t headerSize = 26;
    if (bytes.size() < headerSize || !bytes.starts_with(photoshopSignature))
        return false;
    const std::uint32_t version = bigEndian(bytes, 4, 2);
    const bool reservedZero = bytes.substr(6, 6) == std::string_view("\0\0\0\0\0\0", 6);
    const std::uint32_t channels = bigEndian(bytes, 12, 2);
    const std::uint32_t depth = bigEndian(bytes, 22, 2);
    const std::uint32_t mode = bigEndian(bytes, 24, 2);
    const bool knownDepth = depth == 1 || depth == 8 || depth == 16 || depth == 32;
    const bool knownMode = mode <= 4 || (mode >= 7 && mode <= 9);
    return (version == 1 || version == 2) && reservedZero && channels >= 1 && channels <= 56 && knownDepth && knownMode;
}

int side(std::int64_t value)
{
    const std::int64_t magnitude = value < 0 ? -value : value;
    return static_cast<int>(std::min<std::int64_t>(magnitude, std::numeric_limits<int>::max()));
}

// A bitmap info header (the BMP one, or an icon's image) or a PNG, at the start of `image`.
Size imageSize(std::string_view image)
{
    if (image.starts_with(pngSignature) && image.size() >= 24)
        return {side(bigEndian(image, 16, 4)), side(bigEndian(image, 20, 4))};
    if (image.size() >= 12 && littleEndian(image, 0, 4) == 12)
        return {side(littleEndian(image, 4, 2)), side(littleEndian(image, 6, 2))};
    if (image.size() >= 12)
        return {side(static_cast<std::int32_t>(littleEndian(image, 4, 4))),
                side(static_cast<std::int32_t>(littleEndian(image, 8, 4)))};
    return {};
}

Size largestIcon(std::string_view bytes)
{
    Size largest;
    const std::size_t count = littleEndian(bytes, 4, 2);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = littleEndian(bytes, 6 + i * 16 + 12, 4);
        const Size size = imageSize(bytes.substr(at));
        largest = {std::max(largest.width, size.width), std::max(largest.height, size.height)};
    }
    return largest;
}

} // namespace

Size declaredSize(std::string_view bytes, Format format)
{
    switch (format) {
    case Format::bmp: return imageSize(bytes.substr(14));
    case Format::ico:
    case Format::cur: return largestIcon(bytes);
    case Format::psd: return {side(bigEndian(bytes, 18, 4)), side(bigEndian(bytes, 14, 4))};
    }
    return {};
}

bool mayCarrySignature(std::string_view head)
{
    return head.starts_with(bmpSignature) || head.starts_with(photoshopSignature) || startsIconDirectory(head, iconType)
        || startsIconDirectory(head, cursorType);
}

std::optional<Format> recognise(std::string_view bytes)
{
    if (isBmp(bytes))
        return Format::bmp;
    if (isIconDirectory(bytes, iconType))
        return Format::ico;
    if (isIconDirectory(bytes, cursorType))
        return Format::cur;
    if (isPhotoshop(bytes))
        return Format::psd;
    return std::nullopt;
}

std::string forImageMagick(std::string bytes, Format format)
{
    if (format == Format::cur)
        bytes[2] = 1;
    return bytes;
}

} // namespace vantory::MagickFormats
