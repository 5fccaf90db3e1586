#include "Platform/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantory;

namespace {

struct ChunkedText {
    const char* name;
    std::vector<std::string> chunks;
    // The characters when the text is valid, nothing when it is not.
    std::optional<std::u32string> characters;
};

void PrintTo(const ChunkedText& testCase, std::ostream* out)
{
    *out << testCase.name;
}

std::string joined(const std::vector<std::string>& chunks)
{
    std::string text;
    for (const auto& chunk : chunks)
        text += chunk;
    return text;
}

// The characters the decoder hands out for the chunks, or nothing when it finds the
// text invalid.
std::optional<std::u32string> decodeInChunks(const std::vector<std::string>& chunks)
{
    utf8::StreamDecoder decoder;
    std::u32string characters;
    for (const auto& chunk : chunks) {
        decoder.feed(chunk);
        while (const auto c = decoder.next())
            characters += *c;
        if (decoder.failed())
            return std::nullopt;
    }
    if (decoder.endsMidCharacter())
        return std::nullopt;
    return characters;
}

class Utf8TextCases : public ::testing::TestWithParam<ChunkedText> { };

} // namespace

TEST_P(Utf8TextCases, StreamDecoderReadsTheChunks)
{
    EXPECT_EQ(decodeInChunks(GetParam().chunks), GetParam().characters);
}

TEST_P(Utf8TextCases, WholeTextCheckAgrees)
{
    EXPECT_EQ(isValidUTF8(joined(GetParam().chunks)), GetParam().characters.has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8TextCases,
                         ::testing::Values(ChunkedText{"Empty", {}, U""}, ChunkedText{"Ascii", {"ab", "c"}, U"abc"},
                                           ChunkedText{"TwoBytesSplit",
                                                       {"a\xC3", "\xA9"
                                                                 "b"},
                                                       U"a\u00E9b"},
                                           ChunkedText{"ThreeBytesOneChunkEach", {"\xE2", "\x82", "\xAC"}, U"\u20AC"},
                                           ChunkedText{"FourBytesOverThreeChunks", {"\xF0", "\x9F\x98", "\x80!"}, U"\U0001F600!"},
                                           ChunkedText{"LargestCodePoint", {"\xF4\x8F", "\xBF\xBF"}, U"\U0010FFFF"},
                                           ChunkedText{"LongAsciiRunsAroundACharacter",
                                                       {std::string(17, 'a') + "\xC3\xA9" + std::string(9, 'b')},
                                                       std::u32string(17, U'a') + U"\u00E9" + std::u32string(9, U'b')},
                                           ChunkedText{"OverlongTwoBytes", {"\xC0\xAF"}, std::nullopt},
                                           ChunkedText{"OverlongThreeBytesSplit", {"\xE0", "\x80\xAF"}, std::nullopt},
                                           ChunkedText{"OverlongFourBytes", {"\xF0\x8F\xBF\xBF"}, std::nullopt},
                                           ChunkedText{"SurrogateSplit", {"\xED", "\xA0\x80"}, std::nullopt},
                                           ChunkedText{"AboveLargestCodePointSplit", {"\xF4\x90", "\x80\x80"}, std::nullopt},
                                           ChunkedText{"LeadByteAboveF4", {"\xF5\x80\x80\x80"}, std::nullopt},
                                           ChunkedText{"LoneContinuationByte", {"a\x80"}, std::nullopt},
                                           ChunkedText{"LeadByteFollowedByAscii", {"\xC3", "A"}, std::nullopt},
                                           ChunkedText{"InvalidAfterALongAsciiRun",
                                                       {std::string(17, 'a') + "\xC0\xAF" + std::string(8, 'a')},
                                                       std::nullopt},
                                           ChunkedText{"CutShortAtTheEnd", {"ab\xE2\x82"}, std::nullopt},
                                           ChunkedText{"CutShortAfterASplit", {"\xF0\x9F", "\x98"}, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });
