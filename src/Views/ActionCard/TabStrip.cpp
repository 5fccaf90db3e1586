#include "Views/ActionCard/TabStrip.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

namespace vantory {

TabStrip::TabStrip(QWidget* parent) : QScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TabStrip::wheelEvent(QWheelEvent* event)
{
    const QPoint turn = event->angleDelta();
    if (std::abs(turn.y()) <= std::abs(turn.x())) {
        QScrollArea::wheelEvent(event);
        return;
    }
    // The sideways bar scrolls on for a wheel turned down and back for one turned up; at
    // either end it leaves the event to the card below.
    QCoreApplication::sendEvent(horizontalScrollBar(), event);
}

} // namespace vantory
