#include "Views/ActionCard/CloseButton.h"

#include "Views/Icons.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QPainter>

namespace vantory {

CloseButton::CloseButton(QWidget* parent) : PlainButton(parent)
{
    setFixedSize(side, side);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("Close"));
}

void CloseButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::cream());
    painter.drawEllipse(rect());
    painter.setPen(Theme::textSecondary());
    painter.setFont(Typography::icon(Theme::TextSize::subheadline, QFont::Bold));
    painter.drawText(rect(), Qt::AlignCenter, Icons::glyph("xmark"));
    paintFocusRing(painter, QRectF(rect()), side / 2.0);
}

} // namespace vantory
