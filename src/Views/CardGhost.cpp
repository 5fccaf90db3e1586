#include "Views/CardGhost.h"

#include "Views/States/StateCard.h"
#include "Views/SubtreeOpacity.h"

#include <QPainter>
#include <algorithm>

namespace vantory {

CardGhost::CardGhost(StateCard& card, double opacity, QWidget* parent)
    : QWidget(parent),
      cardRect_(card.cardRect()),
      leftAt_(std::clamp(opacity, 0.0, 1.0)),
      fade_(leftAt_)
{
    // The picture is taken whole; the ghost draws the opacity itself.
    SubtreeOpacity::set(&card, 1);
    picture_ = card.grab();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(card.geometry());
}

void CardGhost::setCover(const QPainterPath& cover)
{
    if (cover == cover_)
        return;
    cover_ = cover;
    update();
}

void CardGhost::setFade(double opacity)
{
    fade_ = std::clamp(opacity, 0.0, leftAt_);
    update();
}

void CardGhost::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPainterPath everywhere;
    everywhere.addRect(rect());
    if (!cover_.isEmpty()) {
        painter.save();
        painter.setClipPath(cover_);
        painter.setOpacity(leftAt_);
        painter.drawPixmap(0, 0, picture_);
        painter.restore();
    }
    if (fade_ <= 0)
        return;
    painter.setClipPath(cover_.isEmpty() ? everywhere : everywhere.subtracted(cover_));
    painter.setOpacity(fade_);
    painter.drawPixmap(0, 0, picture_);
}

} // namespace vantory
