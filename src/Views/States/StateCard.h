#pragma once

#include "Views/Theme.h"

#include <QWidget>

namespace vantory {

// The frame every state card shares: the chassis and its shadow. The widget is larger than
// the card by the shadow's reach on every side; a card lays its content out in content(),
// which covers exactly the card. Cards are 320 x 320, but for one that grows with what it
// shows (setCardHeight).
class StateCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = Theme::cardSide + 2 * Theme::CardShadow::margin;

    explicit StateCard(QWidget* parent = nullptr);

    QWidget* content() const { return content_; }
    // The card itself, in this widget's coordinates.
    QRect cardRect() const;

    // Told by the panel once the card has faded in and is drawn whole.
    virtual void shownWhole() { }

Q_SIGNALS:
    // The card took another height.
    void cardResized();

protected:
    void setCardHeight(int height);
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* content_;
};

} // namespace vantory
