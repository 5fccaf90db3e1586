#include "State/SummaryInput.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <QString>
#include <QTextBoundaryFinder>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

std::size_t graphemes(const std::string& text)
{
    const QString q = QString::fromStdString(text);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, q);
    std::size_t count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

std::string repeat(const std::string& unit, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

} // namespace

// Characters of several code points each: a flag (two), an e with a combining accent, a
// family emoji joined by zero-width joiners, and a CR LF pair (one grapheme).
class CharacterCut : public ::testing::TestWithParam<std::string> { };

TEST_P(CharacterCut, CutsAfterTheLimitNotAtIt)
{
    const std::string unit = GetParam();
    const std::string exactly = repeat(unit, SummaryInput::longestText);
    ASSERT_EQ(graphemes(exactly), SummaryInput::longestText);

    const auto [same, cutExactly] = firstCharacters(exactly, SummaryInput::longestText);
    EXPECT_FALSE(cutExactly);
    EXPECT_EQ(same, exactly);

    const auto [cut, wasCut] = firstCharacters(exactly + unit, SummaryInput::longestText);
    EXPECT_TRUE(wasCut);
    EXPECT_EQ(cut, exactly); // never half a character
}

INSTANTIATE_TEST_SUITE_P(MultiCodePoint, CharacterCut,
                         ::testing::Values("a", "\U0001F1EB\U0001F1F7", "e\u0301", "\U0001F468\u200D\U0001F469\u200D\U0001F467",
                                           "\r\n"));

TEST(SummaryInput, ALongTextFileIsCutAndSaysSo)
{
    test::TempDir dir;
    const std::string text = repeat("word ", 4'000); // 20,000 characters
    const auto input = SummaryInput::read(dir.write("notes.txt", text));
    EXPECT_FALSE(input.error);
    EXPECT_TRUE(input.wasCut);
    EXPECT_EQ(input.text, text.substr(0, 14'000));

    const auto whole = SummaryInput::read(dir.write("short.md", text.substr(0, 14'000)));
    EXPECT_FALSE(whole.wasCut);
    EXPECT_EQ(whole.text, text.substr(0, 14'000));
}

TEST(SummaryInput, WhatGivesNoText)
{
    test::TempDir dir;
    const std::string noText = "No text content to summarize";
    EXPECT_EQ(SummaryInput::read(dir.write("latin1.txt", "caf\xe9 au lait")).error, noText);
    EXPECT_EQ(SummaryInput::read(dir.write("empty.txt", "")).error, noText);
    EXPECT_EQ(SummaryInput::read(dir.write("blank.txt", " \n\t\n")).error, noText);
    EXPECT_EQ(SummaryInput::read(dir / "missing.txt").error, noText);

    test::writeTextPdf(dir / "scan.pdf", {{612, 792, ""}, {612, 792, ""}});
    EXPECT_EQ(SummaryInput::read(dir / "scan.pdf").error, noText);
}

TEST(SummaryInput, APdfThatWillNotOpen)
{
    test::TempDir dir;
    EXPECT_EQ(SummaryInput::read(dir.write("broken.PDF", "not a pdf at all")).error, "Could not open the file");
    const test::Encryption locked{"secret", "owner"};
    test::writeTextPdf(dir / "locked.pdf", {{612, 792, "Hidden words"}}, &locked);
    EXPECT_EQ(SummaryInput::read(dir / "locked.pdf").error, "Could not open the file");
}

TEST(SummaryInput, APdfsTextPageAfterPage)
{
    test::TempDir dir;
    test::writeTextPdf(dir / "two.pdf", {{612, 792, "First page words"}, {612, 792, "Second page words"}});
    const auto input = SummaryInput::read(dir / "two.pdf");
    ASSERT_FALSE(input.error);
    const auto first = input.text.find("First page words");
    const auto second = input.text.find("Second page words");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}
