#include "Views/Components/TextButton.h"

#include <QPainter>
#include <QPainterPath>

namespace vantory {

TextButton::TextButton(const QString& text, Look look, QWidget* parent) : PlainButton(parent), look_(std::move(look))
{
    setText(text);
    setFont(look_.font);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TextButton::setLook(Look look)
{
    look_ = std::move(look);
    setFont(look_.font);
    updateGeometry();
    update();
}

QSize TextButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * look_.horizontalPadding,
            metrics.height() + 2 * look_.verticalPadding};
}

void TextButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape(rect());
    if (look_.fill.alpha() > 0) {
        QPainterPath fill;
        fill.addRoundedRect(shape, look_.cornerRadius, look_.cornerRadius);
        painter.fillPath(fill, look_.fill);
    }
    painter.setPen(look_.text);
    painter.drawText(rect(), Qt::AlignCenter, text());
    paintFocusRing(painter, shape, look_.cornerRadius);
}

} // namespace vantory
