#include "Views/FloatingPanel.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// A shown panel at a known place that counts its drag ends.
class FloatingPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.move(200, 100);
        panel.show();
        panel.onDragEnd = [this] { ++dragEnds; };
    }

    // Pointer events as the window system delivers them: a position in the panel and on the screen.
    void send(QEvent::Type type, QPointF global, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, global - QPointF(panel.pos()), global, button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &event);
    }
    void press(QPointF global) { send(QEvent::MouseButtonPress, global, Qt::LeftButton, Qt::LeftButton); }
    void moveHeld(QPointF global) { send(QEvent::MouseMove, global, Qt::NoButton, Qt::LeftButton); }
    void release(QPointF global) { send(QEvent::MouseButtonRelease, global, Qt::LeftButton, Qt::NoButton); }

    FloatingPanel panel;
    int dragEnds = 0;
};

} // namespace

TEST_F(FloatingPanelTest, OnlyAReleaseMoreThanThreePixelsFromThePressEndsADrag)
{
    struct Row {
        QPointF travel;
        int dragEnds;
    };
    // Diagonals: each axis under 3 but the straight line over it, and the reverse for the sum.
    const Row rows[] = {{{3, 0}, 0}, {{3.01, 0}, 1}, {{0, -3}, 0}, {{0, -3.01}, 1}, {{2.1, 2.1}, 0}, {{2.2, 2.2}, 1}};
    for (const auto& row : rows) {
        dragEnds = 0;
        const QPointF start(400, 300);
        press(start);
        release(start + row.travel);
        EXPECT_EQ(dragEnds, row.dragEnds) << row.travel.x() << "," << row.travel.y();
    }
}

TEST_F(FloatingPanelTest, AReleaseWithoutAPressEndsNoDrag)
{
    release({900, 900});
    EXPECT_EQ(dragEnds, 0);

    // Nor does a second release after a drag has ended.
    press({400, 300});
    release({500, 300});
    release({600, 300});
    EXPECT_EQ(dragEnds, 1);
}

TEST_F(FloatingPanelTest, APressInATextFieldStartsNoDrag)
{
    auto* field = new QLineEdit(&panel);
    field->setGeometry(20, 20, 200, 30);
    field->show();

    press(QPointF(panel.pos()) + QPointF(30, 30));
    release({1000, 700});
    EXPECT_EQ(dragEnds, 0);

    press(QPointF(panel.pos()) + QPointF(300, 300)); // beside the field
    release({1000, 700});
    EXPECT_EQ(dragEnds, 1);
}

TEST_F(FloatingPanelTest, DraggingMovesThePanelByThePointersTravel)
{
    press({400, 300});
    moveHeld({460, 270});
    EXPECT_EQ(panel.pos(), QPoint(260, 70));
    moveHeld({380, 350});
    EXPECT_EQ(panel.pos(), QPoint(180, 150));
    release({380, 350});
    EXPECT_EQ(dragEnds, 1);

    // Once released, moving the pointer leaves the panel where it is.
    moveHeld({900, 900});
    EXPECT_EQ(panel.pos(), QPoint(180, 150));
}

TEST_F(FloatingPanelTest, VisibleRegionBecomesTheMask)
{
    // The offscreen platform has no compositor, so the mask is the region itself.
    const QRegion orb = QRegion(150, 150, 160, 160, QRegion::Ellipse);
    panel.setVisibleRegion(orb);
    EXPECT_EQ(panel.mask(), orb);

    const QRegion card(30, 200, 400, 120);
    panel.setVisibleRegion(card);
    EXPECT_EQ(panel.mask(), card);

    panel.setVisibleRegion({});
    EXPECT_TRUE(panel.mask().isEmpty());
}
