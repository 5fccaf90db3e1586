#pragma once

#include "Views/Components/PlainButton.h"

#include <QColor>
#include <QFont>

namespace vantory {

// A button of one line of text, as wide as its place allows, centred on a rounded fill or on
// nothing, as the Cancel of the converting card.
class TextButton : public PlainButton {
    Q_OBJECT

public:
    struct Look {
        QFont font;
        QColor text;
        // Transparent: no fill.
        QColor fill = Qt::transparent;
        double cornerRadius = 10;
        int verticalPadding = 0;
        int horizontalPadding = 0;
    };

    TextButton(const QString& text, Look look, QWidget* parent = nullptr);

    void setLook(Look look);
    const Look& look() const { return look_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_;
};

} // namespace vantory
