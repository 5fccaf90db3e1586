#pragma once

#include "State/WidgetPhase.h"

#include <QPointF>
#include <QSizeF>

namespace vantory {

// How far the orb and the cards sit from the panel's centre toward the docked edge: with
// the 460 px panel both leave 8 px between themselves and that edge.
constexpr double orbDistanceFromCentre = 186;
constexpr double cardDistanceFromCentre = 62;

// The unit step toward an edge; y grows downward, so the top edge is -y.
QPointF towardEdge(AnchorEdge edge);

QPointF orbOffset(AnchorEdge edge);
QPointF cardOffset(AnchorEdge edge);
// The same for a card of another size: it keeps its 8 px to the docked edge.
QPointF cardOffset(QPointF towardEdge, QSizeF cardSize);

} // namespace vantory
