#include "Views/PanelGeometry.h"

#include <gtest/gtest.h>

using namespace vantory;
using namespace vantory::PanelGeometry;

namespace {

// A visible area away from the origin, so a formula that forgets its offset shows:
// x runs from 100 to 1380, y from 30 (top) to 800 (bottom).
const QRectF visible(100, 30, 1280, 770);
const QSizeF panel(460, 460);

QRectF panelCentredAt(double cx, double cy)
{
    return {QPointF(cx - panel.width() / 2, cy - panel.height() / 2), panel};
}

const char* name(AnchorEdge edge)
{
    switch (edge) {
    case AnchorEdge::left: return "left";
    case AnchorEdge::right: return "right";
    case AnchorEdge::top: return "top";
    case AnchorEdge::bottom: return "bottom";
    }
    return "?";
}

} // namespace

TEST(PanelGeometry, PositionsFlushAgainstEachEdgeAndCentredAlongIt)
{
    struct Row {
        AnchorEdge edge;
        QSizeF size;
        QPointF origin;
    };
    // A panel that is not square catches a width taken for a height.
    const Row rows[] = {
        {AnchorEdge::left, panel, {100, 185}},      {AnchorEdge::right, panel, {920, 185}},
        {AnchorEdge::top, panel, {510, 30}},        {AnchorEdge::bottom, panel, {510, 340}},
        {AnchorEdge::left, {400, 300}, {100, 265}}, {AnchorEdge::right, {400, 300}, {980, 265}},
        {AnchorEdge::top, {400, 300}, {540, 30}},   {AnchorEdge::bottom, {400, 300}, {540, 500}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(positionForEdge(row.edge, visible, row.size), row.origin) << name(row.edge) << " " << row.size.width();
}

TEST(PanelGeometry, NearestEdgeOfThePanelCentreWithTiesInAFixedOrder)
{
    struct Row {
        const char* what;
        QPointF centre;
        AnchorEdge edge;
    };
    const Row rows[] = {
        {"near left", {300, 415}, AnchorEdge::left},         {"near right", {1200, 415}, AnchorEdge::right},
        {"near top (small y)", {740, 200}, AnchorEdge::top}, {"near bottom (large y)", {740, 700}, AnchorEdge::bottom},
        {"left = top", {330, 260}, AnchorEdge::left},        {"top = bottom", {740, 415}, AnchorEdge::top},
        {"right = bottom", {1150, 570}, AnchorEdge::bottom}, {"centre beyond the right", {1500, 415}, AnchorEdge::right},
    };
    for (const auto& row : rows)
        EXPECT_EQ(name(nearestEdge(panelCentredAt(row.centre.x(), row.centre.y()), visible)), std::string(name(row.edge)))
            << row.what;
}

TEST(PanelGeometry, SnapMovesOnlyAcrossTheEdgeThenPullsThePanelInside)
{
    struct Row {
        const char* what;
        AnchorEdge edge;
        QPointF from;
        QPointF to;
        QRectF area = visible;
    };
    const Row rows[] = {
        {"left", AnchorEdge::left, {300, 200}, {100, 200}},
        {"right", AnchorEdge::right, {800, 200}, {920, 200}},
        {"top", AnchorEdge::top, {500, 300}, {500, 30}},
        {"bottom", AnchorEdge::bottom, {500, 200}, {500, 340}},
        {"already there", AnchorEdge::right, {920, 185}, {920, 185}},
        {"top above the area", AnchorEdge::right, {1100, 10}, {920, 30}},
        {"bottom below the area", AnchorEdge::left, {150, 600}, {100, 340}},
        {"past the right end of a top edge", AnchorEdge::top, {1200, 100}, {920, 30}},
        {"area narrower than the panel", AnchorEdge::right, {0, 200}, {100, 200}, QRectF(100, 30, 300, 770)},
        {"area lower than the panel", AnchorEdge::bottom, {500, 0}, {500, 30}, QRectF(100, 30, 1280, 300)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(snapTarget(row.edge, QRectF(row.from, panel), row.area), QRectF(row.to, panel)) << row.what;
}

TEST(PanelGeometry, PanelDroppedAboveTheAreaNearTheRightSnapsRightAndComesDown)
{
    const QRectF dropped(QPointF(1100, 10), panel); // centre 50 from the right, top 20 above the area
    const AnchorEdge edge = nearestEdge(dropped, visible);
    EXPECT_EQ(name(edge), std::string("right"));
    EXPECT_EQ(snapTarget(edge, dropped, visible), QRectF(QPointF(1380 - 460, visible.top()), panel));
}

TEST(PanelGeometry, OnlyMovesOfMoreThanThreePixelsAreDrags)
{
    const std::pair<double, bool> rows[] = {{0, false}, {2.99, false}, {3, false}, {3.01, true}, {40, true}};
    for (const auto& [distance, drag] : rows)
        EXPECT_EQ(isDrag(distance), drag) << distance;
}

TEST(PanelGeometry, RestoredSizeKeepsTheRightEdgeAndTheVerticalCentre)
{
    EXPECT_EQ(restoredSizeFrame(QRectF(QPointF(300, 100), panel), 460), std::nullopt);

    const std::pair<QRectF, QRectF> rows[] = {
        {{500, 100, 300, 200}, {340, -30, 460, 460}},
        {{500, 100, 600, 500}, {640, 120, 460, 460}},
        {{500, 100, 460, 300}, {500, 20, 460, 460}}, // only the height differs
        {{500, 100, 300, 460}, {340, 100, 460, 460}}, // only the width differs
    };
    for (const auto& [from, to] : rows)
        EXPECT_EQ(restoredSizeFrame(from, 460), std::optional(to)) << from.width() << "x" << from.height();
}

TEST(PanelGeometry, VisibleFrameIsTheMostOverlappedScreenElseThePrimaryElseTheFirst)
{
    const QRectF first(0, 0, 1920, 1050);
    const QRectF second(1920, 30, 1280, 770);
    struct Row {
        const char* what;
        QPointF panelAt;
        std::optional<std::size_t> primary;
        QRectF expected;
    };
    const Row rows[] = {
        {"wholly on the second", {2500, 200}, 0, second},
        {"mostly on the second", {1800, 200}, 0, second},
        {"mostly on the first", {1600, 200}, 1, first},
        {"on none, primary second", {5000, 5000}, 1, second},
        {"on none, no primary", {5000, 5000}, std::nullopt, first},
        {"on none, primary out of range", {5000, 5000}, 7, first},
    };
    for (const auto& row : rows) {
        const Screens screens{{first, second}, row.primary};
        EXPECT_EQ(currentVisibleFrame(QRectF(row.panelAt, panel), screens), row.expected) << row.what;
    }

    const QRectF none = currentVisibleFrame(QRectF(QPointF(10, 10), panel), Screens{});
    EXPECT_TRUE(none.isNull()) << none.x() << "," << none.y() << " " << none.width() << "x" << none.height();
}

TEST(PanelGeometry, OnNoScreenOnlyWhenItMeetsNoAvailableArea)
{
    const Screens screens{{QRectF(0, 0, 1920, 1050), QRectF(1920, 30, 1280, 770)}, 0};
    struct Row {
        const char* what;
        QPointF panelAt;
        bool onNoScreen;
    };
    const Row rows[] = {
        {"inside the first", {100, 100}, false},
        {"inside the second only", {2500, 200}, false},
        {"one pixel on the first", {1919 - 460 + 2, 1049}, false},
        {"beyond the right of both", {3200, 200}, true},
        {"above the second, right of the first", {2500, -460}, true},
        {"below everything", {100, 1050}, true}, // touching the bottom edge is not meeting it
    };
    for (const auto& row : rows)
        EXPECT_EQ(isOnNoScreen(QRectF(row.panelAt, panel), screens), row.onNoScreen) << row.what;
    EXPECT_TRUE(isOnNoScreen(QRectF(QPointF(0, 0), panel), Screens{}));
}
