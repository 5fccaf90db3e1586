#pragma once

#include <QAbstractButton>

namespace vantory {

// A button that draws itself on the card. Tab reaches it, while a click leaves the keyboard
// focus where it was (in a password box, say); Return, Enter and Space click it. While it
// has the focus it shows the focus ring.
class PlainButton : public QAbstractButton {
    Q_OBJECT

protected:
    explicit PlainButton(QWidget* parent = nullptr);

    void keyPressEvent(QKeyEvent* event) override;
    // Draws the focus ring inside `shape` while the button has the keyboard focus.
    void paintFocusRing(QPainter& painter, const QRectF& shape, double cornerRadius) const;
};

} // namespace vantory
