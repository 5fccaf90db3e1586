#include "Views/States/SummaryCapsule.h"

#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vantory {

SummaryCapsule::SummaryCapsule(const QString& summary, const QColor& tint, QWidget* parent) : QLabel(summary, parent), tint_(tint)
{
    setFont(Typography::font(12, QFont::Medium));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void SummaryCapsule::setOpacity(double opacity)
{
    opacity_ = opacity;
    update();
}

int SummaryCapsule::textWidthFor(int widgetWidth) const
{
    const QMargins margins = contentsMargins();
    return std::max(1, widgetWidth - margins.left() - margins.right() - 2 * horizontalPadding);
}

std::unique_ptr<QTextLayout> SummaryCapsule::layOut(int textWidth) const
{
    auto lines = std::make_unique<QTextLayout>(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    lines->setTextOption(option);
    lines->beginLayout();
    double y = 0;
    for (QTextLine line = lines->createLine(); line.isValid(); line = lines->createLine()) {
        line.setLineWidth(textWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    lines->endLayout();
    return lines;
}

QSize SummaryCapsule::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const auto lines = layOut(textWidthFor(Theme::cardSide));
    const int height = static_cast<int>(std::ceil(lines->boundingRect().height()));
    return {Theme::cardSide, height + 2 * verticalPadding + margins.top() + margins.bottom()};
}

QSize SummaryCapsule::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    return {margins.left() + margins.right() + 2 * horizontalPadding,
            fontMetrics().height() + 2 * verticalPadding + margins.top() + margins.bottom()};
}

int SummaryCapsule::linesThatFit(const QTextLayout& lines) const
{
    const double room = contentsRect().height() - 2 * verticalPadding;
    int fitting = 0;
    while (fitting < lines.lineCount()) {
        const QTextLine line = lines.lineAt(fitting);
        if (line.y() + line.height() > room + 0.5)
            break;
        ++fitting;
    }
    return std::max(fitting, 1);
}

QRectF SummaryCapsule::capsuleAround(const QTextLayout& lines, int visibleLines) const
{
    double textWidth = 0;
    for (int i = 0; i < visibleLines; ++i)
        textWidth = std::max(textWidth, lines.lineAt(i).naturalTextWidth());
    const QTextLine last = lines.lineAt(visibleLines - 1);
    const QSizeF size(std::ceil(textWidth) + 2 * horizontalPadding, std::ceil(last.y() + last.height()) + 2 * verticalPadding);
    const QRectF area = contentsRect();
    return QRectF(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2, size.width(), size.height());
}

QRectF SummaryCapsule::capsuleRect() const
{
    const auto lines = layOut(textWidthFor(width()));
    return capsuleAround(*lines, std::min(linesThatFit(*lines), lines->lineCount()));
}

void SummaryCapsule::paintEvent(QPaintEvent*)
{
    const auto lines = layOut(textWidthFor(width()));
    if (lines->lineCount() == 0)
        return;
    const int visible = linesThatFit(*lines);
    const QRectF capsule = capsuleAround(*lines, visible);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);
    QPainterPath shape;
    const double radius = std::min(capsule.width(), capsule.height()) / 2;
    shape.addRoundedRect(capsule, radius, radius);
    painter.fillPath(shape, Theme::withOpacity(tint_, 0.08));

    painter.setPen(Theme::withOpacity(tint_, 0.9));
    painter.setFont(font());
    const QPointF origin = capsule.topLeft() + QPointF(horizontalPadding, verticalPadding);
    const bool cut = visible < lines->lineCount();
    for (int i = 0; i < (cut ? visible - 1 : visible); ++i)
        lines->lineAt(i).draw(&painter, origin);
    if (cut) {
        const QTextLine last = lines->lineAt(visible - 1);
        const QString rest = text().mid(last.textStart());
        const QString elided = fontMetrics().elidedText(rest, Qt::ElideRight, static_cast<int>(last.width()));
        painter.drawText(QPointF(origin.x(), origin.y() + last.y() + last.ascent()), elided);
    }
}

} // namespace vantory
