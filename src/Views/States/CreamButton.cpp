#include "Views/States/CreamButton.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QPainter>
#include <QPainterPath>

namespace vantory {

CreamButton::CreamButton(const QString& text, QWidget* parent) : QAbstractButton(parent)
{
    setText(text);
    setFont(Typography::font(14, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CreamButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * verticalPadding, metrics.height() + 2 * verticalPadding};
}

void CreamButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(rect(), cornerRadius, cornerRadius);
    painter.fillPath(shape, Theme::cream());
    painter.setPen(Theme::textSecondary());
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace vantory
