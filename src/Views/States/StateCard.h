#pragma once

#include "Views/Theme.h"

#include <QWidget>

namespace vantory {

// The frame every 320 x 320 state card shares: the chassis and its shadow. The widget is
// larger than the card by the shadow's reach on every side; a card lays its content out in
// content(), which covers exactly the 320 x 320 card.
class StateCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = Theme::cardSide + 2 * Theme::CardShadow::margin;

    explicit StateCard(QWidget* parent = nullptr);

    QWidget* content() const { return content_; }
    // The card itself, in this widget's coordinates.
    QRect cardRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* content_;
};

} // namespace vantory
