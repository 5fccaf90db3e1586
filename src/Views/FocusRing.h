#pragma once

#include <QRectF>

class QAbstractScrollArea;
class QPainter;

// How a control shows that it has the keyboard focus: a ring of the accent along the inside
// of its shape and, within it, a thin line of the card's surface, so that the ring also
// reads on a control filled with the accent.
namespace vantory::FocusRing {

constexpr double accentWidth = 2;
constexpr double innerLineWidth = 1;

// Draws the ring inside `shape`, a rounded rectangle of `cornerRadius`.
void paint(QPainter& painter, const QRectF& shape, double cornerRadius);

// Rings the scroll area's viewport while the area has the keyboard focus.
void ringWhileFocused(QAbstractScrollArea* area, double cornerRadius);

} // namespace vantory::FocusRing
