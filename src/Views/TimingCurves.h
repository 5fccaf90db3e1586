#pragma once

#include <QEasingCurve>
#include <QPointF>

namespace vantory::TimingCurves {

// The usual ease-out and ease-in-ease-out cubic Bézier curves of interface animations.
inline QEasingCurve bezier(QPointF c1, QPointF c2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

inline QEasingCurve easeOut()
{
    return bezier({0.0, 0.0}, {0.58, 1.0});
}

inline QEasingCurve easeInEaseOut()
{
    return bezier({0.42, 0.0}, {0.58, 1.0});
}

} // namespace vantory::TimingCurves
