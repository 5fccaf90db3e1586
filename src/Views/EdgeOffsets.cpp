#include "Views/EdgeOffsets.h"

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

} // namespace vantory
