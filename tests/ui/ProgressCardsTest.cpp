#include "Views/States/ArcRing.h"
#include "Views/States/ConvertingView.h"
#include "Views/Components/TextButton.h"
#include "Views/States/ProgressPercent.h"

#include <QLabel>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

struct PercentCase {
    int current;
    int total;
    int percent;
};

class ProgressPercentTest : public ::testing::TestWithParam<PercentCase> { };

TEST_P(ProgressPercentTest, IsTheTruncatedWholePercentage)
{
    const PercentCase c = GetParam();
    EXPECT_EQ(progressPercent(c.current, c.total), c.percent) << c.current << " of " << c.total;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressPercentTest,
                         ::testing::Values(PercentCase{1, 3, 33}, PercentCase{2, 3, 66}, PercentCase{29, 50, 58},
                                           PercentCase{57, 100, 57}, PercentCase{4, 3, 133}, PercentCase{3, 3, 100},
                                           PercentCase{0, 7, 0}, PercentCase{0, 0, 0}, PercentCase{5, 0, 0},
                                           PercentCase{30'000'000, 40'000'000, 75}),
                         [](const ::testing::TestParamInfo<PercentCase>& info) {
                             return std::to_string(info.param.current) + "of" + std::to_string(info.param.total);
                         });

// The running animation that is not the spinner's endless one.
QVariantAnimation* arcMove(const ConvertingView& card)
{
    for (auto* animation : card.findChildren<QVariantAnimation*>())
        if (animation->loopCount() == 1 && animation->state() == QAbstractAnimation::Running)
            return animation;
    return nullptr;
}

TEST(ConvertingViewTest, SeveralFilesShowTheRingThePercentageAndTheCount)
{
    ConvertingView card(1, 3, {});
    EXPECT_EQ(card.countLabel()->text(), QString::fromUtf8("Converting 1 of 3\u2026"));
    EXPECT_EQ(card.percentLabel()->text(), "33%");
    EXPECT_TRUE(card.percentLabel()->isVisibleTo(&card));
    EXPECT_FALSE(card.isSpinning());
    EXPECT_DOUBLE_EQ(card.ring()->arcStart(), 0);
    EXPECT_DOUBLE_EQ(card.ring()->arcLength(), 1.0 / 3);
}

class IndeterminateTest : public ::testing::TestWithParam<int> { };

TEST_P(IndeterminateTest, ShowsTheSpinnerAndProcessingWithoutACount)
{
    ConvertingView card(0, GetParam(), {});
    EXPECT_EQ(card.countLabel()->text(), QString::fromUtf8("Processing\u2026"));
    EXPECT_FALSE(card.percentLabel()->isVisibleTo(&card));
    EXPECT_TRUE(card.isSpinning());
    EXPECT_DOUBLE_EQ(card.ring()->arcLength(), 0.3);
}

INSTANTIATE_TEST_SUITE_P(Totals, IndeterminateTest, ::testing::Values(0, 1));

TEST(ConvertingViewTest, TheSpinnerTurnsClockwiseOnceEvery800Milliseconds)
{
    ConvertingView card(0, 1, {});
    auto spinners = card.findChildren<QVariantAnimation*>();
    ASSERT_EQ(spinners.size(), 1);
    const double start = card.ring()->arcStart();
    spinners.front()->setCurrentTime(200);
    EXPECT_NEAR(card.ring()->arcStart() - start, 0.25, 1e-9);
    spinners.front()->setCurrentTime(800 + 400);
    EXPECT_NEAR(card.ring()->arcStart() - start, 0.5, 1e-9);
}

TEST(ConvertingViewTest, ProgressUpdatesTheSameCardAndMovesTheArcOver300Milliseconds)
{
    ConvertingView card(1, 3, {});
    card.setProgress(2, 3);
    EXPECT_EQ(card.countLabel()->text(), QString::fromUtf8("Converting 2 of 3\u2026"));
    EXPECT_EQ(card.percentLabel()->text(), "66%");

    // The arc has not jumped: it moves from a third to two thirds.
    EXPECT_DOUBLE_EQ(card.ring()->arcLength(), 1.0 / 3);
    QVariantAnimation* move = arcMove(card);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->duration(), 300);
    move->setCurrentTime(150);
    EXPECT_GT(card.ring()->arcLength(), 1.0 / 3);
    EXPECT_LT(card.ring()->arcLength(), 2.0 / 3);
    move->setCurrentTime(300);
    EXPECT_DOUBLE_EQ(card.ring()->arcLength(), 2.0 / 3);
}

TEST(ConvertingViewTest, ARunThatTurnsOutToHaveOneFileStopsTheRingAndSpins)
{
    ConvertingView card(1, 3, {});
    card.setProgress(0, 1);
    EXPECT_EQ(card.countLabel()->text(), QString::fromUtf8("Processing\u2026"));
    EXPECT_FALSE(card.percentLabel()->isVisibleTo(&card));
    EXPECT_TRUE(card.isSpinning());

    card.setProgress(2, 3);
    EXPECT_FALSE(card.isSpinning());
    EXPECT_TRUE(card.percentLabel()->isVisibleTo(&card));
    EXPECT_DOUBLE_EQ(card.ring()->arcStart(), 0);
}

TEST(ConvertingViewTest, CancelCallsOnCancelOncePerClick)
{
    int cancels = 0;
    ConvertingView card(1, 3, [&cancels] { ++cancels; });
    card.show();
    TextButton* cancel = card.cancelButton();
    EXPECT_EQ(cancel->text(), "Cancel");

    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancels, 2);
    QTest::mouseClick(cancel, Qt::RightButton);
    EXPECT_EQ(cancels, 2);
}

TEST(ConvertingViewTest, TheCancelButtonSpansTheCardBetweenItsPaddings)
{
    ConvertingView card(1, 3, {});
    card.show();
    const QRect button = card.cancelButton()->geometry();
    const QRect content = card.content()->rect();
    EXPECT_EQ(button.left(), content.left() + 20);
    EXPECT_EQ(button.right(), content.right() - 20);
    EXPECT_EQ(button.bottom(), content.bottom() - 16);
}

} // namespace
