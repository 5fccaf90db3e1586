#pragma once

#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace vantory {

class StateCard;

// A card that has left the panel, while it goes: a picture of it as it left, taken so that
// nothing inside it runs or takes input any more. Where the card now in its place covers it,
// the picture stays as it was until that card is whole; elsewhere it fades. So a change of
// card never shows a gap, nor the desktop through two half-drawn cards.
class CardGhost final : public QWidget {
    Q_OBJECT

public:
    // Takes the picture of `card`, drawn whole, and sits where it sat. `opacity` is how far
    // the card had faded in.
    CardGhost(StateCard& card, double opacity, QWidget* parent);

    // The card's own rectangle, without its shadow, in this widget's coordinates.
    QRect cardRect() const { return cardRect_; }

    // Where the card now in its place covers this one, in this widget's coordinates.
    void setCover(const QPainterPath& cover);
    // How much of the uncovered part is still drawn, from the opacity it left with down to 0.
    void setFade(double opacity);
    double fade() const { return fade_; }
    bool hasFaded() const { return fade_ <= 0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QRect cardRect_;
    double leftAt_;
    double fade_;
    QPainterPath cover_;
};

} // namespace vantory
