#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantory::test {

inline const char* const xmlPlistHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

// `value` as `width` big-endian bytes.
inline std::string bigEndianBytes(uint64_t value, unsigned width)
{
    std::string bytes(width, '\0');
    for (unsigned i = 0; i < width; ++i)
        bytes[width - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// Byte offsets of the trailer fields, counted from the end of the file.
inline constexpr std::size_t trailerOffsetSizeAt = 26;
inline constexpr std::size_t trailerReferenceSizeAt = 25;
inline constexpr std::size_t trailerObjectCountAt = 24;
inline constexpr std::size_t trailerTopObjectAt = 16;
inline constexpr std::size_t trailerOffsetTableAt = 8;

// A binary property list of `objects`, each already encoded with references
// `referenceSize` bytes wide; the offset table uses 4-byte offsets.
inline std::string binaryPlistBytes(const std::vector<std::string>& objects, unsigned referenceSize, uint64_t topObject = 0)
{
    std::string bytes = "bplist00";
    std::vector<uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(bytes.size());
        bytes += object;
    }
    const uint64_t offsetTable = bytes.size();
    for (const uint64_t offset : offsets)
        bytes += bigEndianBytes(offset, 4);
    bytes += std::string(6, '\0');
    bytes += static_cast<char>(4);
    bytes += static_cast<char>(referenceSize);
    bytes += bigEndianBytes(objects.size(), 8) + bigEndianBytes(topObject, 8) + bigEndianBytes(offsetTable, 8);
    return bytes;
}

// The marker of an array (0xA), set (0xC) or dictionary (0xD) holding `count` elements.
inline std::string containerMarker(unsigned type, uint64_t count)
{
    if (count < 15)
        return std::string(1, static_cast<char>(type << 4 | count));
    return std::string(1, static_cast<char>(type << 4 | 0xF)) + static_cast<char>(0x13) + bigEndianBytes(count, 8);
}

// Arrays nested `depth` deep, each holding the next and the innermost one empty.
inline std::string nestedBinaryArrays(int depth)
{
    std::vector<std::string> objects;
    for (int level = 1; level < depth; ++level)
        objects.push_back(containerMarker(0xA, 1) + bigEndianBytes(static_cast<uint64_t>(level), 4));
    objects.push_back(containerMarker(0xA, 0));
    return binaryPlistBytes(objects, 4);
}

inline std::string repeated(const std::string& text, int times)
{
    std::string result;
    result.reserve(text.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

// Arrays nested `depth` deep in the XML form, the innermost one empty.
inline std::string nestedXmlArrays(int depth)
{
    return xmlPlistHeader + repeated("<array>", depth) + repeated("</array>", depth) + "</plist>";
}

} // namespace vantory::test
