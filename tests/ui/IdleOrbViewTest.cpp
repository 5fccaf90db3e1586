#include "Views/States/IdleOrbView.h"
#include "support/Animations.h"

#include <QEnterEvent>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

QVariantAnimation* runningAnimation(QObject* owner)
{
    for (auto* animation : owner->findChildren<QVariantAnimation*>())
        if (animation->state() == QAbstractAnimation::Running)
            return animation;
    return nullptr;
}

void hover(QWidget& widget, bool inside)
{
    if (inside) {
        QEnterEvent event(QPointF(50, 50), QPointF(50, 50), QPointF(50, 50));
        QCoreApplication::sendEvent(&widget, &event);
    } else {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(&widget, &event);
    }
}

} // namespace

TEST(IdleOrbView, GrowsInFromASmallInvisibleOrbOnASpring)
{
    IdleOrbView orb;
    orb.show();
    EXPECT_DOUBLE_EQ(orb.drawnScale(), 0.4);
    EXPECT_DOUBLE_EQ(orb.drawnOpacity(), 0);
    QVariantAnimation* appear = runningAnimation(&orb);
    ASSERT_NE(appear, nullptr);
    double largest = 0;
    for (int ms = 0; ms <= appear->duration(); ms += 5) {
        appear->setCurrentTime(ms);
        largest = std::max(largest, orb.drawnScale());
    }
    EXPECT_GT(largest, 1.0) << "the spring overshoots";
    test::finishAnimations(&orb);
    EXPECT_DOUBLE_EQ(orb.drawnScale(), 1);
    EXPECT_DOUBLE_EQ(orb.drawnOpacity(), 1);
}

TEST(IdleOrbView, GrowsUnderThePointerAndShrinksBackWhenItLeaves)
{
    IdleOrbView orb;
    orb.show();
    test::finishAnimations(&orb);

    hover(orb, true);
    QVariantAnimation* grow = runningAnimation(&orb);
    ASSERT_NE(grow, nullptr);
    EXPECT_EQ(grow->duration(), 200);
    grow->setCurrentTime(100);
    EXPECT_GT(orb.drawnScale(), 1.03) << "eased out: more than half way at half time";
    EXPECT_LT(orb.drawnScale(), 1.06);
    test::finishAnimations(&orb);
    EXPECT_DOUBLE_EQ(orb.drawnScale(), 1.06);

    hover(orb, false);
    test::finishAnimations(&orb);
    EXPECT_DOUBLE_EQ(orb.drawnScale(), 1);
}

TEST(IdleOrbView, PresenceScalesAndFadesWhatIsDrawn)
{
    IdleOrbView orb;
    orb.show();
    test::finishAnimations(&orb);
    orb.setPresence(0.65, 0);
    EXPECT_DOUBLE_EQ(orb.drawnScale(), 0.65);
    EXPECT_DOUBLE_EQ(orb.drawnOpacity(), 0);
    orb.setPresence(1, 1.2);
    EXPECT_DOUBLE_EQ(orb.drawnOpacity(), 1) << "a spring's overshoot is no extra opacity";
}
