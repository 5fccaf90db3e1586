#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>

class QPainter;

// The panel's palette, its type and spacing scales, and the look the state cards share:
// 320 x 320 points, but for the action card, which grows with its rows up to 444.
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
// The rounding of a row of the action card.
constexpr double rowCornerRadius = 14;

// The pixel sizes text and symbols are set in, smallest first.
namespace TextSize {
constexpr int caption = 10; // a greyed row's reason, a tab's symbol
constexpr int footnote = 11; // notes under rows, field messages, the error banner
constexpr int subheadline = 12; // hints, format pills, capsules
constexpr int body = 13; // card headers, buttons, fields, summary text
constexpr int callout = 14; // notices, the progress figures
constexpr int headline = 15; // row titles and the main buttons
constexpr int title3 = 16; // a row's symbol, the titles of the smaller cards
constexpr int title2 = 18;
constexpr int title1 = 20;
constexpr int largeTitle = 22;
constexpr int largeSymbol = 28;
constexpr int extraLargeSymbol = 36;
} // namespace TextSize

// The room between a card's parts.
namespace Spacing {
constexpr int cardInset = 20; // headers, tabs and notes from the card's sides
constexpr int rowInset = 16; // rows, dividers and the banner from the card's sides
constexpr int rowPadding = 14; // inside a row, above and below its face; under a header or a note
constexpr int rowGap = 12; // between a row's symbol and its title
constexpr int capsuleHorizontal = 10; // inside a capsule, beside its text
constexpr int capsuleVertical = 6; // inside a capsule, above and below its text
constexpr int symbolGap = 6; // between a symbol and the text it goes with
constexpr int cardBottom = 16; // under a card's last button
} // namespace Spacing

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
// its shadow, drawn into `card` (the card's own rectangle, inside the painter's device).
void paintCardChassis(QPainter& painter, const QRectF& card);

} // namespace vantory::Theme
