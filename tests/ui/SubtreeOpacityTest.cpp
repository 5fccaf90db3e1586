#include "Views/SubtreeOpacity.h"

#include <QGraphicsOpacityEffect>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

using namespace vantory;

namespace {

// The opacity a widget is drawn at through an effect of its own, or none.
std::optional<double> effectOpacity(const QWidget& widget)
{
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(widget.graphicsEffect());
    if (!effect || !effect->isEnabled())
        return std::nullopt;
    return effect->opacity();
}

struct Chain {
    double outer;
    double middle;
    double inner;
    // Which of the three is drawn through an effect (0 outer, 1 middle, 2 inner), at what opacity.
    std::optional<int> drawnThroughEffect;
};

} // namespace

// Qt cannot draw an opacity effect inside another one.
TEST(SubtreeOpacity, OnlyTheOutermostFadingWidgetOfAChainIsDrawnThroughAnEffect)
{
    const Chain chains[] = {
        {1, 1, 1, std::nullopt}, {1, 1, 0.5, 2}, {0.5, 1, 0.5, 0}, {1, 0.3, 0.5, 1}, {0.2, 0.3, 0.4, 0}, {1, 0, 1, 1},
    };
    for (const Chain& chain : chains) {
        for (bool outsideIn : {true, false}) {
            QWidget outer;
            auto* middle = new QWidget(&outer);
            auto* inner = new QWidget(middle);
            QWidget* widgets[] = {&outer, middle, inner};
            const double opacities[] = {chain.outer, chain.middle, chain.inner};
            for (int i = 0; i < 3; ++i) {
                const int at = outsideIn ? i : 2 - i;
                SubtreeOpacity::set(widgets[at], opacities[at]);
            }
            for (int i = 0; i < 3; ++i) {
                const std::optional<double> expected =
                    chain.drawnThroughEffect == i ? std::optional<double>(opacities[i]) : std::nullopt;
                EXPECT_EQ(effectOpacity(*widgets[i]), expected)
                    << chain.outer << " " << chain.middle << " " << chain.inner << ", widget " << i
                    << (outsideIn ? " set outside in" : " set inside out");
            }
        }
    }
}

TEST(SubtreeOpacity, AFadeInsideAnotherIsDrawnThroughItsEffectAgainOnceTheOuterIsWhole)
{
    QWidget outer;
    auto* inner = new QWidget(&outer);
    SubtreeOpacity::set(inner, 0.3);
    SubtreeOpacity::set(&outer, 0.5);
    EXPECT_EQ(effectOpacity(*inner), std::nullopt);
    EXPECT_TRUE(SubtreeOpacity::isFading(inner));

    SubtreeOpacity::set(&outer, 1);
    EXPECT_EQ(effectOpacity(outer), std::nullopt) << "whole, drawn without an effect";
    EXPECT_EQ(effectOpacity(*inner), 0.3);
    SubtreeOpacity::set(inner, 1);
    EXPECT_EQ(effectOpacity(*inner), std::nullopt);
    EXPECT_FALSE(SubtreeOpacity::isFading(inner));
}
