#pragma once

#include "Views/States/StateCard.h"

#include <string>

class QLabel;
class QVBoxLayout;
class QVariantAnimation;

namespace vantory {

class ResultBadge;

// What the result cards share: a round sign and a title between two flexible spacers, and
// the pop-in that grows the sign from 0.3 and fades it and the title in on a spring, once,
// when the card is first shown.
class ResultCard : public StateCard {
    Q_OBJECT

public:
    struct Look {
        QColor tint;
        std::string symbolName;
        int symbolPixelSize;
        QString title;
        int titlePixelSize;
    };

    ResultBadge* badge() const { return badge_; }
    QLabel* titleLabel() const { return title_; }

protected:
    ResultCard(const Look& look, QWidget* parent);

    // Adds a part under the title.
    void addBelowTitle(QWidget* part);
    // Shows the pop-in `progress` of the way along: 0 at the start, 1 at rest (the spring
    // overshoots past 1 on its way).
    virtual void appear(double progress);
    static double opacityAt(double progress);

    void showEvent(QShowEvent* event) override;

private:
    ResultBadge* badge_;
    QLabel* title_;
    QVBoxLayout* belowBadge_;
    QColor titleColour_;
    QVariantAnimation* popIn_ = nullptr;
};

} // namespace vantory
