#include "App/TrayIconArt.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace vantory {

namespace {

// One arrow: an arc of the circle and a head at its end, in a 16-unit square.
void drawArrow(QPainter& painter, double startAngle)
{
    const QRectF circle(2.5, 2.5, 11, 11);
    constexpr double sweep = 140;
    QPainterPath arc;
    arc.arcMoveTo(circle, startAngle);
    arc.arcTo(circle, startAngle, sweep);
    painter.drawPath(arc);

    const QPointF tip = arc.currentPosition();
    const double angle = arc.angleAtPercent(1.0);
    painter.save();
    painter.translate(tip);
    painter.rotate(-angle);
    painter.drawPolyline(QPolygonF({QPointF(-3, -2.5), QPointF(0, 0), QPointF(-3, 2.5)}));
    painter.restore();
}

QPixmap render(int pixels, const QColor& colour)
{
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / 16.0, pixels / 16.0);
    painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawArrow(painter, 20);
    drawArrow(painter, 200);
    return pixmap;
}

} // namespace

QIcon trayIcon()
{
    const QColor colour = QGuiApplication::palette().color(QPalette::WindowText);
    QIcon icon;
    for (int pixels : {16, 22, 32, 48, 64})
        icon.addPixmap(render(pixels, colour));
    return icon;
}

} // namespace vantory
