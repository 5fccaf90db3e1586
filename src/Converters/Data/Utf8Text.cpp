#include "Converters/Data/Utf8Text.h"

#include "Platform/Utf8Text.h"

#include <algorithm>

namespace vantory::data {

namespace {

bool isSpaceSeparator(char32_t c)
{
    return c == U'\t' || c == U' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F
           || c == 0x3000;
}

bool isNewline(char32_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// The length of the valid sequence at the start of `text`, or 0.
std::size_t validSequenceLength(std::string_view text)
{
    const utf8::Sequence sequence = utf8::measureSequence(text);
    return sequence.status == utf8::SequenceStatus::complete ? sequence.length : 0;
}

std::size_t trailingSequenceLength(std::string_view text)
{
    std::size_t n = 1;
    while (n < text.size() && n < 4 && utf8::isContinuationByte(text[text.size() - n]))
        ++n;
    return n;
}

} // namespace

std::string_view trimSpaces(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t n = validSequenceLength(text);
        if (n == 0 || !isSpaceSeparator(utf8::decodeSequence(text.substr(0, n))))
            break;
        text.remove_prefix(n);
    }
    while (!text.empty()) {
        const std::size_t n = trailingSequenceLength(text);
        if (!isSpaceSeparator(utf8::decodeSequence(text.substr(text.size() - n))))
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
        const std::size_t n = validSequenceLength(text.substr(i));
        if (n == 0 || !isNewline(utf8::decodeSequence(text.substr(i, n)))) {
            i += std::max<std::size_t>(n, 1);
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
