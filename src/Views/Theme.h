#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>

class QPainter;

// The panel's palette and the look every 320 x 320 state card shares.
namespace vantory::Theme {

QColor cream();
QColor surface();
QColor textPrimary();
QColor textSecondary();
QColor accent();
QColor border();
QColor inputBg();
QColor inputBorder();
// The partial-success card's warning colour.
QColor amber();
// An error's text colour.
QColor error();

// `colour` at `opacity` times its own.
QColor withOpacity(QColor colour, double opacity);
// The colour `t` of the way from `from` to `to`, opacity included.
QColor blend(const QColor& from, const QColor& to, double t);

constexpr int cardSide = 320;
constexpr double cardCornerRadius = 24;

// The shadow under the orb and the cards: black at 8 %, blurred by 14, 4 down. Drawn from a
// pre-blurred pixmap per shape size, as a widget can carry only one graphics effect and the
// cards' fades need theirs.
struct CardShadow {
    static constexpr double opacity = 0.08;
    static constexpr double radius = 14;
    static constexpr double offsetY = 4;
    // How far the shadow reaches beyond its shape.
    static constexpr int margin = 20;

    // Draws the shadow of a rounded rectangle (a circle when the radius is half the side).
    static void paint(QPainter& painter, const QRectF& shape, double cornerRadius);
};

// The card chassis: the surface-filled rounded rectangle with its inner border line and
// its shadow, drawn into `card` (the 320 x 320 rectangle, inside the painter's device).
void paintCardChassis(QPainter& painter, const QRectF& card);

} // namespace vantory::Theme
