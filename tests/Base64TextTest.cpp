#include "Models/Base64Text.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

struct TextCase {
    const char* name;
    std::string content;
    bool base64Like;
};

void PrintTo(const TextCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class Base64TextCases : public ::testing::TestWithParam<TextCase> { };

} // namespace

TEST_P(Base64TextCases, Verdict)
{
    test::TempDir dir;
    EXPECT_EQ(readsAsBase64Text(dir.write("file.txt", GetParam().content)), GetParam().base64Like);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Base64TextCases,
    ::testing::Values(TextCase{"Base64", "SGVsbG8gd29ybGQ=", true}, TextCase{"Base64Lines", "SGVs\r\nbG8g+/8=\n", true},
                      TextCase{"WordsDigitsSpaces", "hello world 42", true},
                      TextCase{"TabsAtTheEndsAreTrimmed", "\t abc \t\n", true},
                      TextCase{"OtherScripts",
                               "\xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1 \xe6\x97\xa5\xe6\x9c\xac \xd9\xa1\xd9\xa2",
                               true},
                      TextCase{"CombiningMark", "e\xcc\x81", true},
                      TextCase{"LetterBeyondTheBasicPlane", "\xf0\x9d\x94\x98\xf0\x9d\x94\xab", true},
                      TextCase{"LeadingByteOrderMarkIsSkipped",
                               "\xef\xbb\xbf"
                               "SGVsbG8=",
                               true},
                      TextCase{"Empty", "", false}, TextCase{"OnlyWhiteSpace", "  \n\t \r\n", false},
                      TextCase{"FullStop", "Hello world.", false}, TextCase{"Comma", "a,b", false},
                      TextCase{"Hyphen", "a-b", false}, TextCase{"TabInside", "ab\tcd", false},
                      TextCase{"ByteOrderMarkInside",
                               "SGVs\xef\xbb\xbf"
                               "bG8=",
                               false},
                      TextCase{"Emoji", "abc \xf0\x9f\x98\x80", false}, TextCase{"InvalidByte", "abc\xff", false},
                      TextCase{"CutShortAtTheEnd", "abc\xe2\x82", false}, TextCase{"Overlong", "ab\xc0\xaf", false},
                      TextCase{"MultiByteAcrossReadChunks", std::string(64 * 1024 - 1, 'A') + "\xc3\xa9" + "B", true},
                      TextCase{"InvalidLateInALargeFile", std::string(200 * 1024, 'A') + "\xff", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Base64Text, UnreadableFilesAreNotText)
{
    test::TempDir dir;
    EXPECT_FALSE(readsAsBase64Text(dir / "missing.txt"));
    EXPECT_FALSE(readsAsBase64Text(dir.path()));
}
