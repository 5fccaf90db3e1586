#include "Views/EdgeOffsets.h"

#include "Views/Theme.h"

namespace vantory {

QPointF towardEdge(AnchorEdge edge)
{
    switch (edge) {
    case AnchorEdge::left: return {-1, 0};
    case AnchorEdge::right: return {1, 0};
    case AnchorEdge::top: return {0, -1};
    case AnchorEdge::bottom: return {0, 1};
    }
    return {};
}

QPointF orbOffset(AnchorEdge edge)
{
    return towardEdge(edge) * orbDistanceFromCentre;
}

QPointF cardOffset(AnchorEdge edge)
{
    return towardEdge(edge) * cardDistanceFromCentre;
}

QPointF cardOffset(QPointF towardEdge, QSizeF cardSize)
{
    // A card shorter than the side sits farther from the centre, a longer one nearer, so that
    // its edge keeps its place.
    const auto distance = [](double extent) { return cardDistanceFromCentre + (Theme::cardSide - extent) / 2; };
    return {towardEdge.x() * distance(cardSize.width()), towardEdge.y() * distance(cardSize.height())};
}

} // namespace vantory
