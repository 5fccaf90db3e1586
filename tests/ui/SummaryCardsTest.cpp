#include "State/WidgetStateManager.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/Components/TextButton.h"
#include "Views/ContentView.h"
#include "Views/States/BreathingGradient.h"
#include "Views/States/CopyButton.h"
#include "Views/States/DonationView.h"
#include "Views/States/MarkdownBlocksView.h"
#include "Views/States/SummarizingView.h"
#include "Views/SubtreeOpacity.h"
#include "support/Animations.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/FakeServices.h"
#include "support/ManualScheduler.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TempDir.h"
#include "support/TestSettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

// MARK: lines of the summary

struct LinesCase {
    const char* name;
    QString text;
    std::vector<MarkdownLine> lines;
};

void PrintTo(const LinesCase& c, std::ostream* os)
{
    *os << c.name;
}

class MarkdownLines : public ::testing::TestWithParam<LinesCase> { };

TEST_P(MarkdownLines, SplitAtLineFeedsAndTrimmedOfSpacesOnly)
{
    EXPECT_EQ(MarkdownBlocksView::lines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkdownLines,
    ::testing::Values(LinesCase{"ThreeLineFeeds",
                                "first\n\n\nsecond",
                                {{0, "first", false}, {1, "", true}, {2, "", true}, {3, "second", false}}},
                      LinesCase{"SpacesAndTabs", " \t \u00a0\u2003", {{0, "", true}}},
                      LinesCase{"TrailingCarriageReturn", "word\r\nnext", {{0, "word\r", false}, {1, "next", false}}},
                      LinesCase{"BoldWordWithSpaces", "  **bold**\t", {{0, "**bold**", false}}},
                      LinesCase{"Empty", "", {{0, "", true}}},
                      LinesCase{"TrailingLineFeed", "a\n", {{0, "a", false}, {1, "", true}}}),
    [](const ::testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

// Whether the label's first word is drawn bold.
bool rendersBold(QLabel* label, const QString& word)
{
    QTextDocument document;
    document.setMarkdown(label->text());
    for (auto block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().text().contains(word))
                return it.fragment().charFormat().fontWeight() >= QFont::Bold;
    return false;
}

TEST(MarkdownBlocksViewTest, ShowsLabelsAndGapsLineByLine)
{
    MarkdownBlocksView view;
    view.setText("one\n\n\n  **two** ");
    ASSERT_EQ(view.lineCount(), 4);
    auto* first = qobject_cast<QLabel*>(view.lineWidget(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->textFormat(), Qt::MarkdownText);
    EXPECT_TRUE(first->textInteractionFlags() & Qt::TextSelectableByMouse);
    for (int gap : {1, 2}) {
        EXPECT_EQ(qobject_cast<QLabel*>(view.lineWidget(gap)), nullptr);
        EXPECT_EQ(view.lineWidget(gap)->height(), MarkdownBlocksView::blankLineHeight);
    }
    auto* last = qobject_cast<QLabel*>(view.lineWidget(3));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text(), "**two**");
    EXPECT_TRUE(rendersBold(last, "two"));
}

TEST(MarkdownBlocksViewTest, AGrowingTextKeepsTheLinesAlreadyShown)
{
    MarkdownBlocksView view;
    view.setText("first line\nsec");
    const QPointer<QWidget> first = view.lineWidget(0);
    view.setText("first line\nsecond line\nthird");
    EXPECT_EQ(view.lineWidget(0), first.data());
    ASSERT_EQ(view.lineCount(), 3);
    EXPECT_EQ(qobject_cast<QLabel*>(view.lineWidget(1))->text(), "second line");
    view.setText("other");
    EXPECT_EQ(view.lineCount(), 1);
    EXPECT_TRUE(first.isNull());
}

// MARK: copy

struct CopyCase {
    const char* name;
    QString summary;
    QString copied;
};

void PrintTo(const CopyCase& c, std::ostream* os)
{
    *os << c.name;
}

class CopyText : public ::testing::TestWithParam<CopyCase> { };

TEST_P(CopyText, LosesOnlyTheEmphasisMarks)
{
    EXPECT_EQ(SummarizingView::textForCopy(GetParam().summary), GetParam().copied);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyText,
    ::testing::Values(CopyCase{"FourMarks", "**bold** __under__ ~~struck~~ `code` rest", "bold under struck code rest"},
                      CopyCase{"TripleAsterisks", "***both***", "*both*"}, CopyCase{"SingleMarks", "*one* _two_", "*one* _two_"},
                      CopyCase{"HeadingsListsAndLinks", "# Title\n- item [link](https://a.b)",
                               "# Title\n- item [link](https://a.b)"},
                      CopyCase{"UnderscoresAfterAsterisks", "*_*_x", "*_*_x"}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

TEST(BreathingGradientTest, SwingsItsAxisAndTradesBrightness)
{
    const QRectF area(0, 0, 100, 200);
    const QLinearGradient start = BreathingGradient::at(0, area);
    EXPECT_EQ(start.start(), QPointF(0, 0));
    EXPECT_EQ(start.finalStop(), QPointF(60, 200));
    EXPECT_NEAR(start.stops().at(1).second.alphaF(), 0.85, 0.01);
    EXPECT_NEAR(start.stops().at(3).second.alphaF(), 1.0, 0.01);
    const QLinearGradient end = BreathingGradient::at(1, area);
    EXPECT_EQ(end.start(), QPointF(40, 0));
    EXPECT_EQ(end.finalStop(), QPointF(100, 200));
    EXPECT_NEAR(end.stops().at(1).second.alphaF(), 1.0, 0.01);
    EXPECT_NEAR(end.stops().at(3).second.alphaF(), 0.9, 0.01);
}

// MARK: the summarizing card

class SummarizingViewTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    std::unique_ptr<SummarizingView> card;

    ~SummarizingViewTest() override { card.reset(); }

    // A summary whose text has reached the model, and its card.
    test::ScriptedLanguageModel::Session& summarise(const std::string& text = "Some text.")
    {
        manager->handleDrop({dir.write("notes.txt", text)});
        clock.advance(600ms);
        test::finishBackgroundWork();
        manager->startConversion("summarize");
        card = std::make_unique<SummarizingView>(*manager, clock);
        card->show();
        test::finishBackgroundWork();
        return model->last();
    }
};

} // namespace

TEST_F(SummarizingViewTest, ThinksUntilTheFirstTextThenShowsIt)
{
    auto& session = summarise();
    EXPECT_TRUE(card->isThinking());
    EXPECT_TRUE(card->thinkingFace()->isVisible());
    EXPECT_FALSE(card->summaryFace()->isVisible());

    session.snapshot("**Key Points**\nFirst.");
    EXPECT_FALSE(card->isThinking());
    test::finishAnimations(card.get());
    EXPECT_FALSE(card->thinkingFace()->isVisible());
    EXPECT_TRUE(card->summaryFace()->isVisible());
    EXPECT_EQ(card->blocks()->text(), "**Key Points**\nFirst.");
    EXPECT_EQ(card->blocks()->lineCount(), 2);
}

// While the card itself fades in, its faces could only be drawn whole, one over the other:
// the summary face waits until the panel tells the card it is whole, then fades in.
TEST_F(SummarizingViewTest, TheSummaryFaceWaitsUntilTheCardHasFadedIn)
{
    auto& session = summarise();
    SubtreeOpacity::set(card.get(), 0.4);
    session.snapshot("First.");
    test::finishAnimations(card.get());
    EXPECT_TRUE(card->thinkingFace()->isVisible());
    EXPECT_FALSE(card->summaryFace()->isVisible());

    SubtreeOpacity::set(card.get(), 1);
    card->shownWhole();
    EXPECT_TRUE(card->summaryFace()->isVisible()) << "fading in";
    test::finishAnimations(card.get());
    EXPECT_FALSE(card->thinkingFace()->isVisible());
    EXPECT_TRUE(card->summaryFace()->isVisible());
}

TEST_F(SummarizingViewTest, TheNoteRowOnlyWithANote)
{
    auto& session = summarise(std::string(14'001, 'x'));
    session.snapshot("Text.");
    test::finishAnimations(card.get());
    EXPECT_TRUE(card->noteLabel()->isVisible());
    EXPECT_EQ(card->noteLabel()->text(), "Summarizing first ~3,500 words");

    manager->reset();
    auto& shortOne = summarise("Short.");
    shortOne.snapshot("Text.");
    test::finishAnimations(card.get());
    EXPECT_FALSE(card->noteLabel()->isVisible());
}

TEST_F(SummarizingViewTest, CancelAndCloseBothGoIdle)
{
    summarise();
    card->cancelButton()->click();
    EXPECT_EQ(manager->state().kind, Kind::idle);

    auto& session = summarise();
    session.snapshot("Text.");
    test::finishAnimations(card.get());
    card->closeButton()->click();
    EXPECT_EQ(manager->state().kind, Kind::idle);
    EXPECT_EQ(manager->streamingText(), "");
}

TEST_F(SummarizingViewTest, CopyPutsThePlainTextOnTheClipboardAndSaysCopiedForAWhile)
{
    auto& session = summarise();
    session.snapshot("**Overview** of `code`.");
    test::finishAnimations(card.get());
    EXPECT_EQ(card->copyButton()->text(), "Copy to Clipboard");
    EXPECT_EQ(card->copyButton()->symbolName(), "doc.on.doc");

    card->copyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Overview of code.");
    EXPECT_EQ(card->copyButton()->text(), "Copied");
    EXPECT_EQ(card->copyButton()->symbolName(), "checkmark");
    clock.advance(1499ms);
    EXPECT_EQ(card->copyButton()->text(), "Copied");
    clock.advance(1ms);
    EXPECT_EQ(card->copyButton()->text(), "Copy to Clipboard");
}

TEST_F(SummarizingViewTest, EachCopyEndsItsOwnCopied)
{
    auto& session = summarise();
    session.snapshot("Text.");
    card->copyButton()->click();
    clock.advance(1000ms);
    card->copyButton()->click(); // does not prolong the first one's time
    clock.advance(500ms);
    EXPECT_FALSE(card->copyButton()->isCopied());
}

// MARK: the donation card

namespace {

struct DonationCard {
    std::vector<QUrl> opened;
    int dismissed = 0;
    std::unique_ptr<DonationView> card;

    explicit DonationCard(const QString& host)
        : card(std::make_unique<DonationView>(
            host, [this](const QUrl& url) { opened.push_back(url); }, [this] { ++dismissed; }))
    {
    }
};

} // namespace

TEST(DonationViewTest, ShowsItsTexts)
{
    DonationCard donation("");
    EXPECT_EQ(donation.card->title()->text(), "A 'Van'-versal pick-me-up?");
    const QString message = donation.card->message()->text();
    EXPECT_EQ(message.toUtf8().size(), 164);
    EXPECT_TRUE(message.endsWith("It's the best way to show some \"Latte\" love."));
    EXPECT_EQ(donation.card->tipButton()->text(), "Leave a Tip");
    EXPECT_EQ(donation.card->laterButton()->text(), "Maybe Later");
    EXPECT_FALSE(donation.card->jar()->pixmap().isNull());
}

TEST(DonationViewTest, WithoutAHostTheTipButtonDoesNothing)
{
    DonationCard donation("");
    donation.card->tipButton()->click();
    EXPECT_TRUE(donation.opened.empty());
    EXPECT_EQ(donation.dismissed, 0);
}

TEST(DonationViewTest, AnInvalidHostOpensNothing)
{
    DonationCard donation("tips example.org/[broken");
    donation.card->tipButton()->click();
    EXPECT_TRUE(donation.opened.empty());
}

TEST(DonationViewTest, WithAHostItOpensThatPageAndStays)
{
    DonationCard donation("tips.example.org/vantory");
    donation.card->tipButton()->click();
    ASSERT_EQ(donation.opened.size(), 1u);
    EXPECT_EQ(donation.opened.front().toString(), "https://tips.example.org/vantory");
    EXPECT_EQ(donation.dismissed, 0);
}

TEST(DonationViewTest, CloseAndMaybeLaterEachDismissOnce)
{
    DonationCard donation("");
    donation.card->closeButton()->click();
    EXPECT_EQ(donation.dismissed, 1);
    donation.card->laterButton()->click();
    EXPECT_EQ(donation.dismissed, 2);
    EXPECT_TRUE(donation.opened.empty());
}

TEST(DonationViewTest, DismissingInThePanelHidesTheCardAndShowsWhatIsLeft)
{
    test::FakedStateManager faked;
    WidgetStateManager& manager = *faked.manager;
    std::vector<QUrl> opened;
    ContentView view(manager, faked.clock);
    view.setTipPage("tips.example.org", [&opened](const QUrl& url) { opened.push_back(url); });
    manager.setState(WidgetPhase::actions());
    manager.setShowDonation(true);
    test::finishAnimations(&view);
    auto* donation = qobject_cast<DonationView*>(view.card());
    ASSERT_NE(donation, nullptr);
    donation->tipButton()->click();
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl("https://tips.example.org")});
    donation->laterButton()->click();
    EXPECT_FALSE(manager.showDonation());
    EXPECT_EQ(manager.state().kind, Kind::idle); // nothing was left to show
}
