#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A tiny uncompressed linear DNG: a TIFF of 16-bit RGB pixels with the DNG tags a raw
// developer needs, its camera colours being linear sRGB.
namespace vantory::test {

struct LinearRgb {
    std::uint16_t r, g, b;
};

namespace dng {

class Writer {
public:
    void entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::string value)
    {
        entries_.push_back({tag, type, count, std::move(value)});
    }
    void shorts(std::uint16_t tag, const std::vector<std::uint16_t>& values)
    {
        std::string bytes;
        for (auto v : values)
            bytes += little(v, 2);
        entry(tag, 3, static_cast<std::uint32_t>(values.size()), bytes);
    }
    void longValue(std::uint16_t tag, std::uint32_t value) { entry(tag, 4, 1, little(value, 4)); }
    void text(std::uint16_t tag, const std::string& value) { entry(tag, 2, value.size() + 1, value + '\0'); }
    void rationals(std::uint16_t tag, std::uint16_t type, const std::vector<std::int32_t>& numerators, std::int32_t denominator)
    {
        std::string bytes;
        for (auto n : numerators)
            bytes += little(static_cast<std::uint32_t>(n), 4) + little(static_cast<std::uint32_t>(denominator), 4);
        entry(tag, type, static_cast<std::uint32_t>(numerators.size()), bytes);
    }

    // Entries must be added in tag order; the strip's offset is filled in here.
    std::string file(std::uint16_t stripOffsetsTag, const std::string& pixels) const
    {
        const std::uint32_t ifdSize = 2 + 12 * static_cast<std::uint32_t>(entries_.size()) + 4;
        std::uint32_t dataOffset = 8 + ifdSize;
        std::string ifd = little(entries_.size(), 2), data;
        for (const auto& e : entries_) {
            std::string value = e.value;
            if (e.tag == stripOffsetsTag)
                value = little(0, 4); // patched below
            ifd += little(e.tag, 2) + little(e.type, 2) + little(e.count, 4);
            if (value.size() <= 4) {
                ifd += value + std::string(4 - value.size(), '\0');
            } else {
                ifd += little(dataOffset + data.size(), 4);
                data += value;
                if (data.size() % 2)
                    data += '\0';
            }
        }
        ifd += little(0, 4);
        const std::uint32_t pixelOffset = dataOffset + static_cast<std::uint32_t>(data.size());
        std::string out = "II" + little(42, 2) + little(8, 4) + ifd + data + pixels;
        // Patch the strip offset in place.
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].tag == stripOffsetsTag)
                out.replace(8 + 2 + 12 * i + 8, 4, little(pixelOffset, 4));
        return out;
    }

private:
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        std::string value;
    };
    static std::string little(std::uint64_t value, int bytes)
    {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xff);
        return out;
    }
    std::vector<Entry> entries_;
};

} // namespace dng

// `pixel(x, y)` gives each pixel's linear colour.
template <class Pixel>
void writeLinearDng(const std::filesystem::path& file, int width, int height, Pixel pixel)
{
    std::string pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const LinearRgb p = pixel(x, y);
            for (std::uint16_t v : {p.r, p.g, p.b})
                pixels += std::string{static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
        }
    dng::Writer w;
    w.longValue(254, 0); // main image
    w.longValue(256, width);
    w.longValue(257, height);
    w.shorts(258, {16, 16, 16});
    w.shorts(259, {1}); // no compression
    w.shorts(262, {34892}); // linear raw
    w.text(271, "Vantory");
    w.text(272, "Test Camera");
    w.longValue(273, 0); // strip offset, filled in by file()
    w.shorts(274, {1});
    w.shorts(277, {3});
    w.longValue(278, height);
    w.longValue(279, static_cast<std::uint32_t>(pixels.size()));
    w.shorts(284, {1});
    w.entry(50706, 1, 4, std::string{1, 4, 0, 0}); // DNG 1.4
    w.text(50708, "Vantory Test Camera");
    w.longValue(50717, 65535); // white level
    // XYZ to camera: camera colours are linear sRGB.
    w.rationals(50721, 10, {32406, -15372, -4986, -9689, 18758, 415, 557, -2040, 10570}, 10000);
    w.rationals(50728, 5, {1, 1, 1}, 1); // as-shot neutral
    w.shorts(50778, {21}); // D65
    std::ofstream(file, std::ios::binary) << w.file(273, pixels);
}

} // namespace vantory::test
