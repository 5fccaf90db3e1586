#pragma once

#include "State/WidgetPhase.h"

#include <QRectF>
#include <optional>
#include <vector>

// Where the panel goes, as pure functions on screen rectangles. Screen coordinates grow
// downward: the top edge of a visible area `v` is v.top(), its bottom edge v.y() + v.height().
namespace vantory::PanelGeometry {

// The panel is a square of this side in every phase.
constexpr int panelSize = 460;

// The screens' available areas (without panels and docks), and which one is the primary.
struct Screens {
    std::vector<QRectF> availableAreas;
    std::optional<std::size_t> primary;
};

// The available area of the screen the panel is on (the one it overlaps most), else of the
// primary screen, else of the first one; an empty rectangle when there is no screen.
QRectF currentVisibleFrame(const QRectF& panelFrame, const Screens& screens);

// Whether the panel meets no screen's available area.
bool isOnNoScreen(const QRectF& panelFrame, const Screens& screens);

// The panel's top-left corner flush against `edge`, centred along it.
QPointF positionForEdge(AnchorEdge edge, const QRectF& visibleFrame, const QSizeF& panelSize);

// The edge nearest the panel's centre; ties go to left, then top, then bottom, then right.
AnchorEdge nearestEdge(const QRectF& panelFrame, const QRectF& visibleFrame);

// The frame the panel snaps to against `edge`: only the coordinate across the edge moves,
// then the panel is pulled wholly inside the visible area.
QRectF snapTarget(AnchorEdge edge, const QRectF& panelFrame, const QRectF& visibleFrame);

// Whether a press released `distance` away from where it started was a drag.
bool isDrag(double distance);

// The panel's frame at its fixed size, keeping its right edge and vertical centre; none
// when it already has that size.
std::optional<QRectF> restoredSizeFrame(const QRectF& panelFrame, double side);

} // namespace vantory::PanelGeometry
