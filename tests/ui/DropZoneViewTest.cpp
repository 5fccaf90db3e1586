#include "Views/States/DropZoneView.h"

#include <QLabel>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

QVariantAnimation* repeatingAnimation(QObject* owner)
{
    for (auto* animation : owner->findChildren<QVariantAnimation*>())
        if (animation->loopCount() == -1 && animation->state() == QAbstractAnimation::Running)
            return animation;
    return nullptr;
}

QStringList labelTexts(const QWidget& widget)
{
    QStringList texts;
    for (auto* label : widget.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

TEST(DropZoneView, ShowsItsTexts)
{
    DropZoneView card;
    EXPECT_TRUE(labelTexts(card).contains(QStringLiteral("Drop File")));
    EXPECT_TRUE(labelTexts(card).contains(QStringLiteral("Release to continue")));
}

TEST(DropZoneView, TheDashesMarchThirtySixPerFourSecondsForever)
{
    DropZoneView card;
    QVariantAnimation* march = repeatingAnimation(&card);
    ASSERT_NE(march, nullptr);
    EXPECT_DOUBLE_EQ(card.dashPhase(), 0);
    march->setCurrentTime(1000);
    EXPECT_NEAR(card.dashPhase(), 9, 1e-9);
    march->setCurrentTime(3000);
    EXPECT_NEAR(card.dashPhase(), 27, 1e-9);
    march->setCurrentTime(5000); // into the second loop, from the start again
    EXPECT_NEAR(card.dashPhase(), 9, 1e-9);
}

TEST(DropZoneView, AnErrorTakesTheHintsPlaceInRed)
{
    DropZoneView card;
    card.setInlineError(QStringLiteral("Only files can be dropped"));
    const auto labels = card.findChildren<QLabel*>();
    const auto hint = std::find_if(labels.begin(), labels.end(),
                                   [](QLabel* label) { return label->text() == QStringLiteral("Only files can be dropped"); });
    ASSERT_NE(hint, labels.end());
    EXPECT_EQ((*hint)->palette().color(QPalette::WindowText), Theme::error());
    EXPECT_FALSE(labelTexts(card).contains(QStringLiteral("Release to continue")));
}
