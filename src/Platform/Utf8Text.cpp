#include "Platform/Utf8Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantory::utf8 {

namespace {

// 0 for a byte that cannot start a character. Branches rather than a table lookup:
// the next character's position then does not wait for a load.
inline std::size_t lengthAfterLeadByte(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0; // a continuation byte, or the start of an overlong form
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 0;
}

struct ByteRange {
    unsigned char min;
    unsigned char max;
};

// Narrower after E0, ED, F0 and F4: that rules out overlong forms, surrogates and
// code points above U+10FFFF.
inline ByteRange secondByteRange(unsigned char lead)
{
    switch (lead) {
    case 0xE0: return {0xA0, 0xBF};
    case 0xED: return {0x80, 0x9F};
    case 0xF0: return {0x90, 0xBF};
    case 0xF4: return {0x80, 0x8F};
    default: return {0x80, 0xBF};
    }
}

// Whether the bytes after the lead byte, as many as there are, are well-formed.
inline bool hasWellFormedTail(std::string_view sequence)
{
    switch (sequence.size()) {
    case 4:
        if (!isContinuationByte(sequence[3]))
            return false;
        [[fallthrough]];
    case 3:
        if (!isContinuationByte(sequence[2]))
            return false;
        [[fallthrough]];
    case 2: {
        const ByteRange allowed = secondByteRange(static_cast<unsigned char>(sequence[0]));
        const auto second = static_cast<unsigned char>(sequence[1]);
        return second >= allowed.min && second <= allowed.max;
    }
    default: return true;
    }
}

} // namespace

Sequence measureSequence(std::string_view bytes)
{
    const std::size_t length = lengthAfterLeadByte(static_cast<unsigned char>(bytes.front()));
    if (length == 0)
        return {SequenceStatus::invalid, 0};
    const std::string_view sequence(bytes.data(), std::min(length, bytes.size()));
    if (!hasWellFormedTail(sequence))
        return {SequenceStatus::invalid, 0};
    if (sequence.size() < length)
        return {SequenceStatus::cutShort, 0};
    return {SequenceStatus::complete, length};
}

char32_t decodeSequence(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead;
    char32_t value = lead & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k)
        value = (value << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    return value;
}

void StreamDecoder::feed(std::string_view chunk)
{
    chunk_ = chunk;
}

std::optional<char32_t> StreamDecoder::next()
{
    if (failed_ || chunk_.empty())
        return std::nullopt;
    if (!carried_.empty())
        return completeCarriedCharacter();
    const Sequence sequence = measureSequence(chunk_);
    if (sequence.status == SequenceStatus::invalid)
        return fail();
    if (sequence.status == SequenceStatus::cutShort) {
        carried_.assign(chunk_);
        chunk_ = {};
        return std::nullopt;
    }
    const char32_t character = decodeSequence(chunk_.substr(0, sequence.length));
    chunk_.remove_prefix(sequence.length);
    return character;
}

// The carried bytes plus the start of the new chunk: a character is at most four
// bytes long, so at most three of the chunk's bytes can belong to it.
std::optional<char32_t> StreamDecoder::completeCarriedCharacter()
{
    const std::size_t carriedLength = carried_.size();
    std::string joined = carried_;
    joined.append(chunk_.substr(0, 4 - carriedLength));
    const Sequence sequence = measureSequence(joined);
    if (sequence.status == SequenceStatus::invalid)
        return fail();
    if (sequence.status == SequenceStatus::cutShort) {
        carried_ = joined;
        chunk_ = {};
        return std::nullopt;
    }
    carried_.clear();
    chunk_.remove_prefix(sequence.length - carriedLength);
    return decodeSequence(std::string_view(joined).substr(0, sequence.length));
}

std::optional<char32_t> StreamDecoder::fail()
{
    failed_ = true;
    chunk_ = {};
    return std::nullopt;
}

} // namespace vantory::utf8

namespace vantory {

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
        // The same rule as measureSequence(), spelt out so that this loop over whole
        // files keeps it inlined.
        const std::size_t length = utf8::lengthAfterLeadByte(static_cast<unsigned char>(text[i]));
        if (length == 0 || length > text.size() - i || !utf8::hasWellFormedTail(text.substr(i, length)))
            return false;
        i += length;
    }
    return true;
}

} // namespace vantory
