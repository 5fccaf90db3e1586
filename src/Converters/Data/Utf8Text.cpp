#include "Converters/Data/Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace vantory::data {

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid sequence starting at text[i], or 0.
std::size_t sequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    const std::size_t left = text.size() - i;
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(byte(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(byte(1)) || !isContinuation(byte(2)))
            return 0;
        if (lead == 0xE0 && byte(1) < 0xA0)
            return 0; // overlong
        if (lead == 0xED && byte(1) >= 0xA0)
            return 0; // surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(byte(1)) || !isContinuation(byte(2)) || !isContinuation(byte(3)))
            return 0;
        if (lead == 0xF0 && byte(1) < 0x90)
            return 0; // overlong
        if (lead == 0xF4 && byte(1) >= 0x90)
            return 0; // above U+10FFFF
        return 4;
    }
    return 0;
}

bool isSpaceSeparator(char32_t c)
{
    return c == U'\t' || c == U' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A)
        || c == 0x202F || c == 0x205F || c == 0x3000;
}

char32_t decode(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead;
    char32_t value = lead & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k)
        value = (value << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    return value;
}

std::size_t leadingSequenceLength(std::string_view text)
{
    std::size_t n = 1;
    while (n < text.size() && n < 4 && isContinuation(static_cast<unsigned char>(text[n])))
        ++n;
    return n;
}

std::size_t trailingSequenceLength(std::string_view text)
{
    std::size_t n = 1;
    while (n < text.size() && n < 4 && isContinuation(static_cast<unsigned char>(text[text.size() - n])))
        ++n;
    return n;
}

// The length of the newline at text[i], or 0.
std::size_t newlineLength(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x0A && c <= 0x0D)
        return 1;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x85)
        return 2;
    if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80
        && (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9))
        return 3;
    return 0;
}

} // namespace

bool isValidUTF8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Plain ASCII runs are the common case: check eight bytes at a time.
        if (i + 8 <= text.size()) {
            std::uint64_t chunk;
            std::memcpy(&chunk, text.data() + i, 8);
            if ((chunk & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t n = leadingSequenceLength(text);
        if (!isSpaceSeparator(decode(text.substr(0, n))))
            break;
        text.remove_prefix(n);
    }
    while (!text.empty()) {
        const std::size_t n = trailingSequenceLength(text);
        if (!isSpaceSeparator(decode(text.substr(text.size() - n))))
            break;
        text.remove_suffix(n);
    }
    return text;
}

std::vector<std::string_view> splitAtNewlines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = newlineLength(text, i);
        if (n == 0) {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        i += n;
        start = i;
    }
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace vantory::data
