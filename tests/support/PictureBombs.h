#pragma once

#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <vips/vips8>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Pictures whose headers declare far more pixels than their few bytes hold: a small
// picture written by libvips with its header rewritten. Only the header is sound, so
// nothing but a reader that decodes before it weighs would take memory over them.
namespace vantory::test::bombs {

inline void putBigEndian(std::string& bytes, std::size_t at, std::uint32_t value, int length)
{
    for (int i = 0; i < length; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * (length - 1 - i)));
}

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int length)
{
    for (int i = 0; i < length; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

inline std::uint32_t crc32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// An 8 x 8 grey or RGB picture written as `name` says, with libvips' save options.
inline std::string smallPicture(const std::filesystem::path& folder, const std::string& name, const std::string& options = "")
{
    const auto file = folder / name;
    solidImage(8, 8, {90, 90, 90}).write_to_file((file.string() + options).c_str());
    return readFile(file);
}

inline std::filesystem::path written(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

// A 1 x 1 screen whose one frame is 65535 x 65535.
inline std::filesystem::path gif(const std::filesystem::path& file)
{
    std::string bytes("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13);
    bytes += std::string(",\0\0\0\0\xff\xff\xff\xff\x80", 10) + std::string("\0\0\0\xff\xff\xff", 6);
    bytes += std::string("\x02\x01\x2c\x00;", 5); // a clear code and the end code
    return written(file, bytes);
}

inline std::filesystem::path png(const std::filesystem::path& file, int side, int bands, int bitDepth = 8)
{
    const auto small = file.parent_path() / "small.png";
    solidImage(8, 8, std::vector<double>(static_cast<std::size_t>(bands), 90))
        .pngsave(small.c_str(), vips::VImage::option()->set("bitdepth", bitDepth));
    std::string bytes = readFile(small);
    putBigEndian(bytes, 16, static_cast<std::uint32_t>(side), 4);
    putBigEndian(bytes, 20, static_cast<std::uint32_t>(side), 4);
    putBigEndian(bytes, 29, crc32(std::string_view(bytes).substr(12, 17)), 4);
    return written(file, bytes);
}

inline std::filesystem::path progressiveJpeg(const std::filesystem::path& file, int side)
{
    std::string bytes = smallPicture(file.parent_path(), "small.jpg", "[interlace]");
    const std::size_t frame = bytes.find("\xff\xc2");
    putBigEndian(bytes, frame + 5, static_cast<std::uint32_t>(side), 2);
    putBigEndian(bytes, frame + 7, static_cast<std::uint32_t>(side), 2);
    return written(file, bytes);
}

inline std::filesystem::path losslessWebp(const std::filesystem::path& file, int side)
{
    std::string bytes = smallPicture(file.parent_path(), "small.webp", "[lossless]");
    // 14 bits of width - 1 and 14 of height - 1 after the lossless signature.
    const std::size_t header = bytes.find("VP8L") + 9;
    std::uint32_t fields = 0;
    for (int i = 3; i >= 0; --i)
        fields = fields << 8 | static_cast<unsigned char>(bytes[header + static_cast<std::size_t>(i)]);
    const auto minusOne = static_cast<std::uint32_t>(side - 1);
    fields = (fields & ~((1u << 28) - 1)) | minusOne | minusOne << 14;
    putLittleEndian(bytes, header, fields, 4);
    if (const std::size_t extended = bytes.find("VP8X"); extended != std::string::npos) {
        putLittleEndian(bytes, extended + 12, minusOne, 3);
        putLittleEndian(bytes, extended + 15, minusOne, 3);
    }
    return written(file, bytes);
}

inline std::filesystem::path jpeg2000(const std::filesystem::path& file, int side)
{
    std::string bytes = smallPicture(file.parent_path(), "small.jp2");
    const std::size_t size = bytes.find("\xff\x51"); // the image and tile sizes
    for (const std::size_t field : {6, 10, 22, 26})
        putBigEndian(bytes, size + field, static_cast<std::uint32_t>(side), 4);
    if (const std::size_t header = bytes.find("ihdr"); header != std::string::npos) {
        putBigEndian(bytes, header + 4, static_cast<std::uint32_t>(side), 4);
        putBigEndian(bytes, header + 8, static_cast<std::uint32_t>(side), 4);
    }
    return written(file, bytes);
}

// A JPEG XL code stream whose size header is rewritten in its long form. libvips writes a
// small picture's size in 9 bits, then two bits of default metadata, then pads to a byte.
inline std::filesystem::path jpegXl(const std::filesystem::path& file, int side)
{
    const std::string small = smallPicture(file.parent_path(), "small.jxl");
    std::vector<bool> bits;
    const auto put = [&](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            bits.push_back((value >> i) & 1);
    };
    const auto originalBit = [&](int index) { return (static_cast<unsigned char>(small[2 + index / 8]) >> (index % 8)) & 1; };
    put(0, 1); // not the small form
    put(2, 2);
    put(static_cast<std::uint32_t>(side - 1), 18); // the height
    put(1, 3); // square
    put(static_cast<std::uint32_t>(originalBit(9)), 1);
    put(static_cast<std::uint32_t>(originalBit(10)), 1);
    while (bits.size() % 8 != 0)
        bits.push_back(false);
    std::string bytes = small.substr(0, 2);
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        unsigned char byte = 0;
        for (int bit = 0; bit < 8; ++bit)
            byte |= static_cast<unsigned char>(bits[i + static_cast<std::size_t>(bit)] << bit);
        bytes += static_cast<char>(byte);
    }
    return written(file, bytes + small.substr(4));
}

inline std::filesystem::path bmp(const std::filesystem::path& file, int side)
{
    const auto small = file.parent_path() / "small.bmp";
    solidImage(8, 8, {90, 90, 90}).magicksave(small.c_str(), vips::VImage::option()->set("format", "bmp"));
    std::string bytes = readFile(small);
    putLittleEndian(bytes, 18, static_cast<std::uint32_t>(side), 4);
    putLittleEndian(bytes, 22, static_cast<std::uint32_t>(side), 4);
    return written(file, bytes);
}

} // namespace vantory::test::bombs
