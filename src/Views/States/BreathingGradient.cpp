#include "Views/States/BreathingGradient.h"

#include <QColor>

namespace vantory::BreathingGradient {

QLinearGradient at(double phase, const QRectF& area)
{
    const auto point = [&area](double x, double y) {
        return QPointF(area.left() + x * area.width(), area.top() + y * area.height());
    };
    QLinearGradient gradient(point(0.4 * phase, 0), point(0.6 + 0.4 * phase, 1));
    gradient.setColorAt(0.0, QColor::fromRgbF(0.10f, 0.35f, 0.30f, 1.0f));
    gradient.setColorAt(1.0 / 3, QColor::fromRgbF(0.15f, 0.45f, 0.40f, static_cast<float>(0.85 + 0.15 * phase)));
    gradient.setColorAt(2.0 / 3, QColor::fromRgbF(0.20f, 0.55f, 0.48f, 1.0f));
    gradient.setColorAt(1.0, QColor::fromRgbF(0.12f, 0.38f, 0.32f, static_cast<float>(0.9 + 0.1 * (1 - phase))));
    return gradient;
}

} // namespace vantory::BreathingGradient
