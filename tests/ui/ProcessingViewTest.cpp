#include "Views/States/ProcessingView.h"

#include <QLabel>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantory;

TEST(ProcessingView, TheArcTurnsOncePerNineTenthsOfASecondForever)
{
    ProcessingView card;
    QVariantAnimation* turn = nullptr;
    for (auto* animation : card.findChildren<QVariantAnimation*>())
        if (animation->loopCount() == -1 && animation->state() == QAbstractAnimation::Running)
            turn = animation;
    ASSERT_NE(turn, nullptr);
    turn->setCurrentTime(450);
    EXPECT_NEAR(card.rotation(), 180, 1e-9);
    turn->setCurrentTime(900 + 225);
    EXPECT_NEAR(card.rotation(), 90, 1e-9);
}

TEST(ProcessingView, SaysItIsReading)
{
    ProcessingView card;
    QStringList texts;
    for (auto* label : card.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Reading file\u2026")));
}
