#pragma once

#include <QColor>
#include <QRectF>
#include <functional>

class QObject;
class QPainter;
class QVariantAnimation;

// The dashed outline of the drop targets: dashes 10 on, 8 off, whose phase marches from 0
// to 36 every 4 s without reversing. 36 is two dash periods, so a loop ends where the next
// begins.
namespace vantory::MarchingDashes {

// An endless animation of the phase, owned by `owner` and not yet started.
QVariantAnimation* march(QObject* owner, std::function<void(double phase)> onPhase);

// Strokes a rounded rectangle's outline inside `bounds` with the dashes at `phase`.
void paint(QPainter& painter, const QRectF& bounds, double cornerRadius, double lineWidth, const QColor& colour, double phase);

} // namespace vantory::MarchingDashes
