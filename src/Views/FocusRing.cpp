#include "Views/FocusRing.h"

#include "Views/Theme.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace vantory::FocusRing {

namespace {

void strokeInside(QPainter& painter, const QRectF& shape, double cornerRadius, double inset, double width, const QColor& colour)
{
    const double middle = inset + width / 2;
    const QRectF line = shape.adjusted(middle, middle, -middle, -middle);
    const double radius = std::max(0.0, cornerRadius - middle);
    QPainterPath path;
    path.addRoundedRect(line, radius, radius);
    painter.strokePath(path, QPen(colour, width));
}

// Paints the ring over a scroll area's viewport, under the content that scrolls inside it.
// Both are held as plain widgets: events still reach the filter while the scroll area is
// being destroyed, when it is no longer a scroll area.
class ViewportRing final : public QObject {
public:
    ViewportRing(QAbstractScrollArea* area, double cornerRadius)
        : QObject(area), area_(area), viewport_(area->viewport()), cornerRadius_(cornerRadius)
    {
        viewport_->installEventFilter(this);
        area_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!viewport_)
            return false;
        if (watched == area_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            viewport_->update();
        if (watched == viewport_ && event->type() == QEvent::Paint && area_->hasFocus()) {
            QPainter painter(viewport_);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(painter, QRectF(viewport_->rect()), cornerRadius_);
        }
        return false;
    }

private:
    QWidget* area_;
    QPointer<QWidget> viewport_;
    double cornerRadius_;
};

} // namespace

void paint(QPainter& painter, const QRectF& shape, double cornerRadius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    strokeInside(painter, shape, cornerRadius, 0, accentWidth, Theme::accent());
    strokeInside(painter, shape, cornerRadius, accentWidth, innerLineWidth, Theme::surface());
    painter.restore();
}

void ringWhileFocused(QAbstractScrollArea* area, double cornerRadius)
{
    new ViewportRing(area, cornerRadius);
}

} // namespace vantory::FocusRing
