#include "Views/SubtreeOpacity.h"

#include <QGraphicsOpacityEffect>
#include <QWidget>
#include <algorithm>

namespace vantory::SubtreeOpacity {

namespace {

constexpr const char* opacityProperty = "vantorySubtreeOpacity";

bool parentIsFading(const QWidget* widget)
{
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget())
        if (of(parent) < 1)
            return true;
    return false;
}

// Gives the widget an effect at its opacity, or none when it is whole or inside a fading parent.
void draw(QWidget* widget)
{
    const double opacity = of(widget);
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (opacity >= 1 || parentIsFading(widget)) {
        if (effect)
            widget->setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
}

} // namespace

void set(QWidget* widget, double opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    const bool wasFading = of(widget) < 1;
    widget->setProperty(opacityProperty, opacity);
    draw(widget);
    if (wasFading == (opacity < 1))
        return;
    // It starts or stops fading: what fades inside it gives up its effect or takes it back.
    for (QWidget* inside : widget->findChildren<QWidget*>())
        if (of(inside) < 1)
            draw(inside);
}

double of(const QWidget* widget)
{
    const QVariant opacity = widget->property(opacityProperty);
    return opacity.isValid() ? opacity.toDouble() : 1.0;
}

bool isFading(const QWidget* widget)
{
    return of(widget) < 1 || parentIsFading(widget);
}

} // namespace vantory::SubtreeOpacity
