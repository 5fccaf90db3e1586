#include "Views/FloatingPanel.h"

#include "Platform/X11Desktop.h"
#include "Views/KeyboardFocus.h"
#include "Views/PanelGeometry.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <cmath>

namespace vantory {

FloatingPanel::FloatingPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(QStringLiteral("Vantory"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(PanelGeometry::panelSize, PanelGeometry::panelSize);
}

void FloatingPanel::setVisibleRegion(const QRegion& region)
{
    visibleRegion_ = region;
    applyMask();
}

void FloatingPanel::applyMask()
{
    // Without a compositor translucent pixels would be drawn black: the window's shape stops
    // at the elements, shadows and all that is see-through left out.
    if (!X11Desktop::hasCompositor()) {
        if (visibleRegion_.isEmpty())
            clearMask();
        else
            setMask(visibleRegion_);
        return;
    }
    // With one the window keeps its whole shape, see-through where nothing is drawn, and
    // only the elements take the pointer. A shape that changed would have the window
    // manager's frame behind it show, black, until the frame caught up.
    clearMask();
    X11Desktop::setInputRegion(winId(), visibleRegion_);
}

void FloatingPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    X11Desktop::keepOnAllDesktops(winId());
    applyMask();
}

void FloatingPanel::hideEvent(QHideEvent* event)
{
    handKeyboardBack(this);
    QWidget::hideEvent(event);
}

bool FloatingPanel::startsInTextField(const QPointF& position) const
{
    for (const QWidget* hit = childAt(position.toPoint()); hit && hit != this; hit = hit->parentWidget()) {
        if (qobject_cast<const QLineEdit*>(hit) || qobject_cast<const QTextEdit*>(hit) || qobject_cast<const QPlainTextEdit*>(hit)
            || qobject_cast<const QAbstractSpinBox*>(hit))
            return true;
    }
    return false;
}

// QApplication rounds an event's global position to whole pixels on its way to the widget;
// the position in the panel keeps its fraction, so a drag's length is measured with that.
QPointF FloatingPanel::screenLocation(const QMouseEvent* event) const
{
    return mapToGlobal(event->position());
}

void FloatingPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || startsInTextField(event->position()))
        return;
    dragStartLocation_ = screenLocation(event);
    dragStartPointer_ = event->globalPosition();
    dragStartPosition_ = pos();
    event->accept();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragStartLocation_ || !(event->buttons() & Qt::LeftButton))
        return;
    // The pointer's own screen position, not one derived from the panel's, which this very
    // move changes before the window system has caught up.
    move(dragStartPosition_ + (event->globalPosition() - dragStartPointer_).toPoint());
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto start = std::exchange(dragStartLocation_, std::nullopt);
    if (!start)
        return;
    const QPointF moved = screenLocation(event) - *start;
    if (PanelGeometry::isDrag(std::hypot(moved.x(), moved.y())) && onDragEnd)
        onDragEnd();
}

} // namespace vantory
