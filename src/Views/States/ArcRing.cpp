#include "Views/States/ArcRing.h"

#include "Views/Theme.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantory {

ArcRing::ArcRing(QWidget* parent) : QWidget(parent)
{
    setFixedSize(diameter + 2 * overhang, diameter + 2 * overhang);
}

void ArcRing::setArc(double startTurns, double lengthTurns)
{
    start_ = startTurns;
    length_ = lengthTurns;
    update();
}

void ArcRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(overhang, overhang, diameter, diameter);

    painter.setPen(QPen(Theme::cream(), lineWidth));
    painter.drawEllipse(circle);

    const double length = std::min(length_, 1.0);
    if (length <= 0)
        return;
    painter.setPen(QPen(Theme::accent(), lineWidth, Qt::SolidLine, Qt::RoundCap));
    // Qt's angles are sixteenths of a degree, counter-clockwise from three o'clock.
    const auto sixteenths = [](double turns) { return static_cast<int>(std::lround(turns * 360 * 16)); };
    painter.drawArc(circle, sixteenths(0.25 - start_), -sixteenths(length));
}

} // namespace vantory
