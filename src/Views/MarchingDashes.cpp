#include "Views/MarchingDashes.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace vantory::MarchingDashes {

namespace {

constexpr double dashOn = 10;
constexpr double dashOff = 8;
constexpr double phaseLoop = 36;
constexpr int loopMs = 4000;

} // namespace

QVariantAnimation* march(QObject* owner, std::function<void(double phase)> onPhase)
{
    auto* animation = new QVariantAnimation(owner);
    animation->setStartValue(0.0);
    animation->setEndValue(phaseLoop);
    animation->setDuration(loopMs);
    animation->setLoopCount(-1);
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [onPhase = std::move(onPhase)](const QVariant& value) { onPhase(value.toDouble()); });
    return animation;
}

void paint(QPainter& painter, const QRectF& bounds, double cornerRadius, double lineWidth, const QColor& colour, double phase)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, lineWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    // A pen's dashes are measured in line widths.
    pen.setDashPattern({dashOn / lineWidth, dashOff / lineWidth});
    pen.setDashOffset(phase / lineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The line lies inside the bounds.
    const double inset = lineWidth / 2;
    QPainterPath path;
    path.addRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), cornerRadius - inset, cornerRadius - inset);
    painter.drawPath(path);
    painter.restore();
}

} // namespace vantory::MarchingDashes
