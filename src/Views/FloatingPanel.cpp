#include "Views/FloatingPanel.h"

#include "Platform/X11Desktop.h"
#include "Views/PanelGeometry.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <cmath>

namespace vantory {

namespace {

constexpr int side = 460;
// A shadow reaches this far beyond the element it belongs to.
constexpr int shadowMargin = 20;

} // namespace

FloatingPanel::FloatingPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(QStringLiteral("Vantory"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(side, side);
}

void FloatingPanel::setVisibleRegion(const QRegion& region)
{
    visibleRegion_ = region;
    applyMask();
}

void FloatingPanel::applyMask()
{
    if (visibleRegion_.isEmpty()) {
        clearMask();
        return;
    }
    // With a compositor the shadow around the element is drawn too; without one the mask
    // stops at the element, as the shadow's translucent pixels would be black.
    if (!X11Desktop::hasCompositor()) {
        setMask(visibleRegion_);
        return;
    }
    QRegion withShadow;
    for (const QRect& rect : visibleRegion_)
        withShadow += rect.adjusted(-shadowMargin, -shadowMargin, shadowMargin, shadowMargin);
    setMask(withShadow);
}

void FloatingPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    X11Desktop::keepOnAllDesktops(winId());
    applyMask();
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

void FloatingPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || startsInTextField(event->position()))
        return;
    dragStartLocation_ = event->globalPosition();
    dragStartPosition_ = pos();
    event->accept();
}

void FloatingPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragStartLocation_ || !(event->buttons() & Qt::LeftButton))
        return;
    move(dragStartPosition_ + (event->globalPosition() - *dragStartLocation_).toPoint());
}

void FloatingPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto start = std::exchange(dragStartLocation_, std::nullopt);
    if (!start)
        return;
    const QPointF moved = event->globalPosition() - *start;
    if (PanelGeometry::isDrag(std::hypot(moved.x(), moved.y())) && onDragEnd)
        onDragEnd();
}

} // namespace vantory
