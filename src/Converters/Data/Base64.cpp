#include "Converters/Data/Base64.h"

#include <array>
#include <cstdint>

namespace vantory::data {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t bytesPerLine = 57; // 76 characters

constexpr std::int8_t notInAlphabet = -1;

constexpr std::array<std::int8_t, 256> sextetTable()
{
    std::array<std::int8_t, 256> table{};
    table.fill(notInAlphabet);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr auto sextets = sextetTable();

// Encodes up to 57 bytes into `line`; returns the number of characters.
std::size_t encodeLine(std::string_view bytes, char* line)
{
    std::size_t n = 0;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])); };
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        line[n++] = alphabet[(group >> 18) & 63];
        line[n++] = alphabet[(group >> 12) & 63];
        line[n++] = alphabet[(group >> 6) & 63];
        line[n++] = alphabet[group & 63];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        const std::uint32_t group = (at(i) << 16) | (left == 2 ? at(i + 1) << 8 : 0);
        line[n++] = alphabet[(group >> 18) & 63];
        line[n++] = alphabet[(group >> 12) & 63];
        line[n++] = left == 2 ? alphabet[(group >> 6) & 63] : '=';
        line[n++] = '=';
    }
    return n;
}

} // namespace

void writeBase64Lines(std::string_view bytes, OutputFile& out)
{
    char line[80];
    for (std::size_t offset = 0; offset < bytes.size(); offset += bytesPerLine) {
        if (offset > 0)
            out.push_back('\n');
        const std::size_t length = encodeLine(bytes.substr(offset, bytesPerLine), line);
        out.append(std::string_view(line, length));
    }
}

std::optional<std::string> decodeBase64(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    int inGroup = 0;
    int padding = 0;
    for (const char c : text) {
        if (c == '=') {
            ++padding;
            continue;
        }
        const std::int8_t sextet = sextets[static_cast<unsigned char>(c)];
        if (sextet == notInAlphabet)
            continue;
        if (padding > 0)
            return std::nullopt;
        group = (group << 6) | static_cast<std::uint32_t>(sextet);
        if (++inGroup == 4) {
            bytes.push_back(static_cast<char>(group >> 16));
            bytes.push_back(static_cast<char>(group >> 8));
            bytes.push_back(static_cast<char>(group));
            group = 0;
            inGroup = 0;
        }
    }
    // What is left of the last group must be two or three characters completed by padding.
    if (inGroup == 0)
        return padding == 0 ? std::optional(bytes) : std::nullopt;
    if (inGroup == 1 || inGroup + padding != 4)
        return std::nullopt;
    group <<= 6 * (4 - inGroup);
    bytes.push_back(static_cast<char>(group >> 16));
    if (inGroup == 3)
        bytes.push_back(static_cast<char>(group >> 8));
    return bytes;
}

} // namespace vantory::data
