#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
namespace vantory::utf8 {

enum class SequenceStatus {
    complete,
    // Well-formed so far, but the bytes end before the character does.
    cutShort,
    invalid,
};

struct Sequence {
    SequenceStatus status;
    // The character's length in bytes when complete.
    std::size_t length;
};

// The character that `bytes` (not empty) starts with.
Sequence measureSequence(std::string_view bytes);

// The code point of one complete, valid sequence.
char32_t decodeSequence(std::string_view sequence);

inline bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The first bytes of `text`, at most `size`, ending on a whole character.
inline std::string_view prefix(std::string_view text, std::size_t size)
{
    if (text.size() <= size)
        return text;
    while (size > 0 && isContinuationByte(text[size]))
        --size;
    return text.substr(0, size);
}

// Decodes text that arrives in chunks of any size; a character may be split between
// chunks. Decoding stops at the first invalid sequence.
class StreamDecoder {
public:
    // Hands over the next chunk once next() has used up the one before. The bytes
    // must stay alive until next() has used them up too.
    void feed(std::string_view chunk);

    // The next character, or nothing when the chunk is used up or an invalid
    // sequence is met.
    std::optional<char32_t> next();

    bool failed() const { return failed_; }
    // Whether the bytes so far end inside a character, which is invalid at the end
    // of the text.
    bool endsMidCharacter() const { return !carried_.empty(); }

private:
    std::optional<char32_t> completeCarriedCharacter();
    std::optional<char32_t> fail();

    std::string_view chunk_;
    // The start of a character cut short at the end of the chunk before.
    std::string carried_;
    bool failed_ = false;
};

} // namespace vantory::utf8

namespace vantory {

// Whether the whole text is strict UTF-8; a character cut short at the end is not.
bool isValidUTF8(std::string_view text);

} // namespace vantory
