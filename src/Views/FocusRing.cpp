#include "Views/FocusRing.h"

#include "Views/Theme.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

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
class ViewportRing final : public QObject {
public:
    ViewportRing(QAbstractScrollArea* area, double cornerRadius) : QObject(area), area_(area), cornerRadius_(cornerRadius)
    {
        area->viewport()->installEventFilter(this);
        area->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == area_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
            area_->viewport()->update();
        if (watched == area_->viewport() && event->type() == QEvent::Paint && area_->hasFocus()) {
            QPainter painter(area_->viewport());
            painter.setRenderHint(QPainter::Antialiasing);
            paint(painter, QRectF(area_->viewport()->rect()), cornerRadius_);
        }
        return false;
    }

private:
    QAbstractScrollArea* area_;
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
