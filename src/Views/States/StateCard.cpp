#include "Views/States/StateCard.h"

#include <QPainter>

namespace vantory {

StateCard::StateCard(QWidget* parent) : QWidget(parent), content_(new QWidget(this))
{
    setFixedSize(side, side);
    content_->setGeometry(cardRect());
}

QRect StateCard::cardRect() const
{
    const int m = Theme::CardShadow::margin;
    return QRect(m, m, Theme::cardSide, height() - 2 * m);
}

void StateCard::setCardHeight(int height)
{
    if (height == cardRect().height())
        return;
    setFixedSize(side, height + 2 * Theme::CardShadow::margin);
    content_->setGeometry(cardRect());
    Q_EMIT cardResized();
}

void StateCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Theme::paintCardChassis(painter, cardRect());
}

} // namespace vantory
