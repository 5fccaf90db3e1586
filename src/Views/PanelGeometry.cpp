#include "Views/PanelGeometry.h"

#include <algorithm>

namespace vantory::PanelGeometry {

namespace {

double overlapArea(const QRectF& a, const QRectF& b)
{
    const QRectF both = a.intersected(b);
    return both.isEmpty() ? 0.0 : both.width() * both.height();
}

double rightOf(const QRectF& r)
{
    return r.x() + r.width();
}
double bottomOf(const QRectF& r)
{
    return r.y() + r.height();
}

} // namespace

QRectF currentVisibleFrame(const QRectF& panelFrame, const Screens& screens)
{
    const auto& areas = screens.availableAreas;
    if (areas.empty())
        return {};
    auto best = std::max_element(areas.begin(), areas.end(), [&](const QRectF& a, const QRectF& b) {
        return overlapArea(a, panelFrame) < overlapArea(b, panelFrame);
    });
    if (overlapArea(*best, panelFrame) > 0)
        return *best;
    if (screens.primary && *screens.primary < areas.size())
        return areas[*screens.primary];
    return areas.front();
}

bool isOnNoScreen(const QRectF& panelFrame, const Screens& screens)
{
    return std::none_of(screens.availableAreas.begin(), screens.availableAreas.end(),
                        [&](const QRectF& area) { return overlapArea(area, panelFrame) > 0; });
}

QPointF positionForEdge(AnchorEdge edge, const QRectF& v, const QSizeF& size)
{
    const double w = size.width();
    const double h = size.height();
    switch (edge) {
    case AnchorEdge::left: return {v.x(), v.center().y() - h / 2};
    case AnchorEdge::right: return {rightOf(v) - w, v.center().y() - h / 2};
    case AnchorEdge::top: return {v.center().x() - w / 2, v.top()};
    case AnchorEdge::bottom: return {v.center().x() - w / 2, bottomOf(v) - h};
    }
    return v.topLeft();
}

AnchorEdge nearestEdge(const QRectF& f, const QRectF& v)
{
    const double cx = f.center().x();
    const double cy = f.center().y();
    const double dL = cx - v.x();
    const double dR = rightOf(v) - cx;
    const double dT = cy - v.top();
    const double dB = bottomOf(v) - cy;
    const double m = std::min({dL, dR, dT, dB});
    if (dL == m)
        return AnchorEdge::left;
    if (dT == m)
        return AnchorEdge::top;
    if (dB == m)
        return AnchorEdge::bottom;
    return AnchorEdge::right;
}

QRectF snapTarget(AnchorEdge edge, const QRectF& f, const QRectF& v)
{
    double x = f.x();
    double y = f.y();
    switch (edge) {
    case AnchorEdge::left: x = v.x(); break;
    case AnchorEdge::right: x = rightOf(v) - f.width(); break;
    case AnchorEdge::top: y = v.top(); break;
    case AnchorEdge::bottom: y = bottomOf(v) - f.height(); break;
    }
    // Not std::clamp: on a visible area narrower than the panel the lower bound wins.
    x = std::max(v.x(), std::min(x, rightOf(v) - f.width()));
    y = std::max(v.y(), std::min(y, bottomOf(v) - f.height()));
    return {QPointF(x, y), f.size()};
}

bool isDrag(double distance)
{
    return distance > 3.0;
}

std::optional<QRectF> restoredSizeFrame(const QRectF& f, double side)
{
    if (f.width() == side && f.height() == side)
        return std::nullopt;
    return QRectF(rightOf(f) - side, f.center().y() - side / 2, side, side);
}

} // namespace vantory::PanelGeometry
