#include "Views/States/OrbArt.h"

#include "Views/Theme.h"

#include <QPainter>
#include <QRadialGradient>

namespace vantory {

QImage orbArt(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, side, side);

    // Lit from the upper left.
    QRadialGradient light(area.width() * 0.3, area.height() * 0.25, side * 0.9);
    light.setColorAt(0, Theme::accent().lighter(135));
    light.setColorAt(1, Theme::accent().darker(115));
    painter.fillRect(area, light);

    const double unit = side / 72.0;
    const QPointF centre = area.center();
    painter.setPen(QPen(Theme::cream(), 4.5 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(centre + QPointF(0, -15 * unit), centre + QPointF(0, 12 * unit));
    painter.drawPolyline(QPolygonF(
        {centre + QPointF(-11 * unit, 2 * unit), centre + QPointF(0, 13 * unit), centre + QPointF(11 * unit, 2 * unit)}));
    return image;
}

} // namespace vantory
