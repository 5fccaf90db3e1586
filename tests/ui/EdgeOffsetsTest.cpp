#include "Views/EdgeOffsets.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

struct Row {
    AnchorEdge edge;
    QPointF orb;
    QPointF card;
};

const Row rows[] = {
    {AnchorEdge::left, {-186, 0}, {-62, 0}},
    {AnchorEdge::right, {186, 0}, {62, 0}},
    {AnchorEdge::top, {0, -186}, {0, -62}},
    {AnchorEdge::bottom, {0, 186}, {0, 62}},
};

} // namespace

TEST(EdgeOffsets, OrbAndCardMoveTowardTheDockedEdge)
{
    for (const Row& row : rows) {
        EXPECT_EQ(orbOffset(row.edge), row.orb) << static_cast<int>(row.edge);
        EXPECT_EQ(cardOffset(row.edge), row.card) << static_cast<int>(row.edge);
    }
}

TEST(EdgeOffsets, BothLeaveEightPixelsToThePanelEdge)
{
    constexpr double panelHalf = 460 / 2.0;
    EXPECT_DOUBLE_EQ(panelHalf - orbDistanceFromCentre - 72 / 2.0, 8);
    EXPECT_DOUBLE_EQ(panelHalf - cardDistanceFromCentre - 320 / 2.0, 8);
}

TEST(EdgeOffsets, ACardOfAnotherHeightKeepsItsEightPixelsToATopOrBottomEdge)
{
    constexpr double panelHalf = 460 / 2.0;
    for (double height : {150.0, 320.0, 444.0}) {
        const QSizeF card(320, height);
        EXPECT_DOUBLE_EQ(panelHalf + cardOffset(towardEdge(AnchorEdge::top), card).y() - height / 2, 8) << height;
        EXPECT_DOUBLE_EQ(panelHalf - cardOffset(towardEdge(AnchorEdge::bottom), card).y() - height / 2, 8) << height;
        EXPECT_EQ(cardOffset(towardEdge(AnchorEdge::left), card), cardOffset(AnchorEdge::left)) << "its width is the side";
    }
}
