#pragma once

#include "Views/Components/PlainButton.h"

namespace vantory {

// The action card's close button: an "xmark" on a small cream circle, named "Close".
class CloseButton final : public PlainButton {
    Q_OBJECT

public:
    static constexpr int side = 28;

    explicit CloseButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {side, side}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantory
