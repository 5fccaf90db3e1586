#include "Views/Components/PlainButton.h"

#include "Views/FocusRing.h"

#include <QKeyEvent>

namespace vantory {

PlainButton::PlainButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void PlainButton::keyPressEvent(QKeyEvent* event)
{
    // Space is the button's own: pressed on the key's press, clicked on its release.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void PlainButton::paintFocusRing(QPainter& painter, const QRectF& shape, double cornerRadius) const
{
    if (hasFocus())
        FocusRing::paint(painter, shape, cornerRadius);
}

} // namespace vantory
