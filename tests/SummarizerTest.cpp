#include "AI/FoundationModelsSummarizer.h"
#include "Platform/ExtractiveLanguageModel.h"
#include "Platform/ExtractiveSummary.h"
#include "support/EventLoop.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TempDir.h"

#include <QObject>
#include <algorithm>
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

namespace {

// An overview line, two to four sections and the takeaway, each a bold header line and
// its sentences, under 250 words in all.
void expectTheAskedForShape(const std::vector<std::string>& pieces)
{
    ASSERT_FALSE(pieces.empty());
    std::string whole;
    for (const auto& piece : pieces)
        whole += piece;

    const QStringList blocks = QString::fromStdString(whole).split(QStringLiteral("\n\n"));
    // The overview: one line, no header.
    ASSERT_GE(blocks.size(), 4) << whole;
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

// The sentences of a text, each without its final full stop.
QStringList sentencesWithoutFullStops(const std::string& text)
{
    QStringList sentences;
    for (QString sentence : QString::fromStdString(text).simplified().split(QStringLiteral(". "), Qt::SkipEmptyParts)) {
        sentence.remove(QRegularExpression(QStringLiteral("[.!?]")));
        if (!sentence.trimmed().isEmpty())
            sentences.append(sentence.trimmed());
    }
    return sentences;
}

} // namespace

TEST(ExtractiveSummary, HasTheAskedForShape)
{
    expectTheAskedForShape(ExtractiveSummary::write(gpl3Text().substr(0, 14'000)));
}

// The sentence of each piece of a summary, without its section's header.
QStringList sentencesOfSummary(const std::vector<std::string>& pieces)
{
    static const QRegularExpression header(QStringLiteral("^\\s*(\\*\\*[^*]+\\*\\*\\n)?"));
    QStringList sentences;
    for (const auto& piece : pieces)
        sentences.append(QString::fromStdString(piece).remove(header).trimmed());
    return sentences;
}

// Slides and lists have no full stops: their lines and list items are what the summary
// is made of, and it keeps to its length all the same.
TEST(ExtractiveSummary, TextWithoutFullStopsIsSummarisedFromItsLinesAndItems)
{
    const std::string text = gpl3Text().substr(0, 14'000);
    const QStringList items = sentencesWithoutFullStops(text);
    const QString wrapped = QString::fromStdString(text).remove(QRegularExpression(QStringLiteral("[.!?]")));
    QStringList lines;
    for (const QString& line : wrapped.split(QLatin1Char('\n')))
        if (!line.simplified().isEmpty())
            lines.append(line.simplified());
    // A title line, then four bulleted items that end with full stops; again and again.
    QString titledLists;
    QStringList itemsAndSentences = items;
    for (qsizetype i = 0; i < items.size(); ++i) {
        titledLists += i % 5 == 0 ? QStringLiteral("\n\n") + items[i] : QStringLiteral("\n\u2022 ") + items[i] + QLatin1Char('.');
        itemsAndSentences.append(items[i] + QLatin1Char('.'));
    }
    struct Case {
        std::string label;
        QString text;
        QStringList units; // each sentence of the summary is one of them, less a list marker; empty: anything
    };
    const std::vector<Case> cases = {
        {"hard-wrapped lines", wrapped, lines},
        {"a bullet a line", QStringLiteral("\u2022 ") + items.join(QStringLiteral("\n\u2022 ")), items},
        {"bullets in one line", QStringLiteral("\u2022") + items.join(QStringLiteral(" \u2022")), items},
        {"dashes", QStringLiteral("- ") + items.join(QStringLiteral("\n- ")), items},
        {"numbered", QStringLiteral("1) ") + items.join(QStringLiteral("\n2) ")), items},
        {"titled lists of sentences", titledLists, itemsAndSentences},
        {"one endless line", wrapped.simplified(), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto pieces = ExtractiveSummary::write(c.text.toStdString());
        expectTheAskedForShape(pieces);
        if (c.units.isEmpty())
            continue;
        for (const QString& sentence : sentencesOfSummary(pieces)) {
            const bool aUnit = std::any_of(c.units.begin(), c.units.end(), [&](const QString& unit) {
                return unit == sentence || unit.endsWith(QLatin1Char(' ') + sentence);
            });
            EXPECT_TRUE(aUnit) << sentence.toStdString();
        }
    }
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
    EXPECT_TRUE(ExtractiveSummary::write("--- *** ###\n\u2022 \u2022 -").empty());
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
