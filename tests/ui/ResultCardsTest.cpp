#include "Views/States/CompletedView.h"
#include "Views/States/PartialSuccessView.h"
#include "Views/States/ResultBadge.h"
#include "Views/States/SummaryCapsule.h"

#include <QLabel>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// Runs a card's pop-in to its end without waiting for it.
void finishPopIn(ResultCard& card)
{
    const auto animations = card.findChildren<QVariantAnimation*>();
    ASSERT_EQ(animations.size(), 1);
    animations.front()->setCurrentTime(animations.front()->totalDuration());
}

double titleOpacity(const ResultCard& card)
{
    return card.titleLabel()->palette().color(QPalette::WindowText).alphaF();
}

TEST(ResultCardsTest, TheCompletedCardPopsInOnceWhenShown)
{
    CompletedView card;
    EXPECT_EQ(card.titleLabel()->text(), "Done");
    EXPECT_DOUBLE_EQ(card.badge()->scale(), 0.3);
    EXPECT_DOUBLE_EQ(card.badge()->opacity(), 0);
    EXPECT_DOUBLE_EQ(titleOpacity(card), 0);
    EXPECT_TRUE(card.findChildren<QVariantAnimation*>().isEmpty());

    card.show();
    finishPopIn(card);
    EXPECT_DOUBLE_EQ(card.badge()->scale(), 1);
    EXPECT_DOUBLE_EQ(card.badge()->opacity(), 1);
    EXPECT_DOUBLE_EQ(titleOpacity(card), 1);

    card.hide();
    card.show();
    EXPECT_EQ(card.findChildren<QVariantAnimation*>().size(), 1);
    EXPECT_DOUBLE_EQ(card.badge()->scale(), 1);
}

TEST(ResultCardsTest, ThePartialCardFadesItsSummaryInWithTheSign)
{
    PartialSuccessView card("2 Processed, 1 Skipped (Unsupported format)");
    EXPECT_EQ(card.titleLabel()->text(), "Partially Completed");
    card.show();
    finishPopIn(card);
    EXPECT_DOUBLE_EQ(card.badge()->scale(), 1);
    EXPECT_DOUBLE_EQ(titleOpacity(card), 1);
}

struct SummaryCase {
    const char* name;
    QString summary;
};

class LongSummaryTest : public ::testing::TestWithParam<SummaryCase> { };

TEST_P(LongSummaryTest, StaysVerbatimAndInsideTheCardUnderTheTitle)
{
    PartialSuccessView card(GetParam().summary);
    card.show();
    finishPopIn(card);

    SummaryCapsule* capsule = card.summaryCapsule();
    EXPECT_EQ(capsule->text(), GetParam().summary);
    ASSERT_EQ(card.content()->geometry(), card.cardRect());
    const QRect content(0, 0, 320, 320);
    EXPECT_TRUE(content.contains(capsule->geometry())) << capsule->geometry().height();
    const QRectF drawn = capsule->capsuleRect().translated(capsule->pos());
    EXPECT_TRUE(QRectF(content).contains(drawn)) << drawn.width() << " x " << drawn.height();
    EXPECT_TRUE(content.contains(card.badge()->geometry()));
    // Only the spacers and the summary give way; the sign and the title keep their size.
    EXPECT_EQ(card.badge()->height(), ResultBadge::diameter + 2 * ResultBadge::overshootRoom);
    EXPECT_EQ(card.titleLabel()->height(), card.titleLabel()->sizeHint().height());
    EXPECT_LE(card.badge()->geometry().bottom(), card.titleLabel()->geometry().top());
    EXPECT_LE(card.titleLabel()->geometry().bottom(), capsule->geometry().top());
}

INSTANTIATE_TEST_SUITE_P(
    Summaries, LongSummaryTest,
    ::testing::Values(SummaryCase{"Short", "3 Processed, 1 Skipped (Unsupported format)"},
                      SummaryCase{"Sentence", QString("12 Processed, 3 Skipped (The file could not be read because it "
                                                      "is damaged or uses a feature that is not supported here)")},
                      SummaryCase{"UnbrokenPath", "1 Processed, 1 Skipped (/home/someone/" + QString(120, 'x') + ".png)"},
                      SummaryCase{"FarTooLong", QString("word ").repeated(400)}),
    [](const ::testing::TestParamInfo<SummaryCase>& info) { return std::string(info.param.name); });

} // namespace
