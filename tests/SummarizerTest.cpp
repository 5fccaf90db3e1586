#include "AI/FoundationModelsSummarizer.h"
#include "Platform/ExtractiveLanguageModel.h"
#include "Platform/ExtractiveSummary.h"
#include "support/EventLoop.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TempDir.h"

#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// What a reader of the summariser's stream received, in order.
struct Reading {
    QObject receiver;
    std::vector<std::string> snapshots;
    std::optional<std::optional<std::string>> end; // set once the stream ended; inner: the error

    std::shared_ptr<SummaryStream> read(const FoundationModelsSummarizer& summarizer, const std::string& text)
    {
        return summarizer.stream(
            text, &receiver, [this](const std::string& snapshot) { snapshots.push_back(snapshot); },
            [this](const std::optional<std::string>& error) { end = error; });
    }
};

std::string gpl3Text()
{
    return test::readFile("/usr/share/common-licenses/GPL-3");
}

int wordCount(const std::string& text)
{
    return static_cast<int>(QString::fromStdString(text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size());
}

} // namespace

TEST(Summarizer, SnapshotsArriveInOrderThenTheEnd)
{
    auto model = std::make_shared<test::ScriptedLanguageModel>();
    Reading reading;
    reading.read(FoundationModelsSummarizer(model), "the document");
    auto& session = model->last();
    EXPECT_EQ(session.instructions, FoundationModelsSummarizer::instructions);
    EXPECT_EQ(session.prompt, "the document");
    session.snapshot("A");
    session.snapshot("AB");
    session.snapshot("ABC");
    EXPECT_FALSE(reading.end);
    session.end();
    EXPECT_EQ(reading.snapshots, (std::vector<std::string>{"A", "AB", "ABC"}));
    ASSERT_TRUE(reading.end);
    EXPECT_EQ(*reading.end, std::nullopt);
}

TEST(Summarizer, AnErrorAfterTwoSnapshotsFollowsThem)
{
    auto model = std::make_shared<test::ScriptedLanguageModel>();
    Reading reading;
    reading.read(FoundationModelsSummarizer(model), "text");
    model->last().snapshot("A");
    model->last().snapshot("AB");
    model->last().end("The model stopped");
    EXPECT_EQ(reading.snapshots, (std::vector<std::string>{"A", "AB"}));
    ASSERT_TRUE(reading.end);
    EXPECT_EQ(*reading.end, "The model stopped");
}

TEST(Summarizer, AReaderThatStoppedGetsNothingMore)
{
    auto model = std::make_shared<test::ScriptedLanguageModel>();
    Reading reading;
    auto stream = reading.read(FoundationModelsSummarizer(model), "text");
    model->last().sink.snapshot("A");
    stream->stopReading(); // "A" was sent but has not arrived yet
    model->last().snapshot("AB");
    model->last().end("late");
    EXPECT_TRUE(reading.snapshots.empty());
    EXPECT_FALSE(reading.end);
}

TEST(Summarizer, AvailabilityIsTheModels)
{
    auto model = std::make_shared<test::ScriptedLanguageModel>();
    EXPECT_TRUE(FoundationModelsSummarizer(model).isModelAvailable());
    model->available = false;
    EXPECT_FALSE(FoundationModelsSummarizer(model).isModelAvailable());
    EXPECT_TRUE(FoundationModelsSummarizer().isModelAvailable()); // the extractive default
}

TEST(Summarizer, TheInstructionsAreTheDocumentedOnes)
{
    const auto& text = FoundationModelsSummarizer::instructions;
    EXPECT_EQ(text.size(), 649u);
    EXPECT_TRUE(text.starts_with("You are a document summarizer."));
    EXPECT_TRUE(text.ends_with("7. Keep the total length under 250 words."));
    EXPECT_NE(text.find("\n   Format each header on its own line like: **Key Findings**\n"), std::string::npos);
}

TEST(ExtractiveSummary, HasTheAskedForShape)
{
    const auto pieces = ExtractiveSummary::write(gpl3Text().substr(0, 14'000));
    ASSERT_FALSE(pieces.empty());
    std::string whole;
    for (const auto& piece : pieces)
        whole += piece;

    const QStringList blocks = QString::fromStdString(whole).split(QStringLiteral("\n\n"));
    // The overview: one line, no header.
    ASSERT_GE(blocks.size(), 4);
    EXPECT_FALSE(blocks.front().contains(QLatin1Char('\n')));
    EXPECT_FALSE(blocks.front().startsWith(QStringLiteral("**")));
    // Two to four sections, then the takeaway: each a bold header line and its sentences.
    const int sections = static_cast<int>(blocks.size()) - 2;
    EXPECT_GE(sections, 2);
    EXPECT_LE(sections, 4);
    static const QRegularExpression section(QStringLiteral("^\\*\\*[^*\\n]+\\*\\*\\n[^\\n]+$"));
    for (int i = 1; i < blocks.size(); ++i)
        EXPECT_TRUE(section.match(blocks[i]).hasMatch()) << blocks[i].toStdString();
    EXPECT_TRUE(blocks.back().startsWith(QStringLiteral("**Takeaway**\n")));
    EXPECT_LT(wordCount(whole), ExtractiveSummary::wordLimit);
}

TEST(ExtractiveSummary, TheSameTextGivesTheSameSummary)
{
    const std::string text = gpl3Text().substr(0, 14'000);
    EXPECT_EQ(ExtractiveSummary::write(text), ExtractiveSummary::write(text));
    EXPECT_NE(ExtractiveSummary::write(text), ExtractiveSummary::write(gpl3Text().substr(14'000, 14'000)));
}

TEST(ExtractiveSummary, ShortAndEmptyTexts)
{
    EXPECT_TRUE(ExtractiveSummary::write("").empty());
    EXPECT_TRUE(ExtractiveSummary::write(" \n\t ").empty());
    EXPECT_EQ(ExtractiveSummary::write("Just one short line"), std::vector<std::string>{"Just one short line"});
}

TEST(ExtractiveLanguageModel, StreamsASentenceASnapshotOffTheReadersThread)
{
    const std::string text = gpl3Text().substr(0, 14'000);
    Reading reading;
    reading.read(FoundationModelsSummarizer(std::make_shared<ExtractiveLanguageModel>()), text);
    EXPECT_TRUE(reading.snapshots.empty()); // stream() returned before writing anything here
    ASSERT_TRUE(test::spinUntil([&] { return reading.end.has_value(); }));
    EXPECT_EQ(*reading.end, std::nullopt);

    const auto pieces = ExtractiveSummary::write(text);
    ASSERT_EQ(reading.snapshots.size(), pieces.size());
    std::string written;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        written += pieces[i];
        EXPECT_EQ(reading.snapshots[i], written);
    }
}
