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
    // A sideways bar takes an ordinary wheel as a sideways one, turning down scrolling on.
    // At either end the event is left to the card below.
    QCoreApplication::sendEvent(horizontalScrollBar(), event);
}

} // namespace vantory
