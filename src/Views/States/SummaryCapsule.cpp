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
    setFont(Typography::font(Theme::TextSize::subheadline, QFont::Medium));
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

double SummaryCapsule::singleLineHeight() const
{
    return fontMetrics().height() + 2 * verticalPadding;
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

SummaryCapsule::Shown SummaryCapsule::shown() const
{
    Shown shown{layOut(textWidthFor(width())), 0, {}, {}};
    const QTextLayout& lines = *shown.lines;
    if (lines.lineCount() == 0)
        return shown;
    const int visible = linesThatFit(lines);
    const bool cut = visible < lines.lineCount();
    shown.fullLines = cut ? visible - 1 : visible;

    double textWidth = 0;
    for (int i = 0; i < shown.fullLines; ++i)
        textWidth = std::max(textWidth, lines.lineAt(i).naturalTextWidth());
    const QTextLine last = lines.lineAt(visible - 1);
    if (cut) {
        shown.cutLine = fontMetrics().elidedText(text().mid(last.textStart()), Qt::ElideRight, static_cast<int>(last.width()));
        textWidth = std::max(textWidth, static_cast<double>(fontMetrics().horizontalAdvance(shown.cutLine)));
    }

    const QSizeF size(std::ceil(textWidth) + 2 * horizontalPadding, std::ceil(last.y() + last.height()) + 2 * verticalPadding);
    const QPointF centre = QRectF(contentsRect()).center();
    shown.capsule = QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
    return shown;
}

QRectF SummaryCapsule::capsuleRect() const
{
    return shown().capsule;
}

void SummaryCapsule::paintEvent(QPaintEvent*)
{
    const Shown shown = this->shown();
    if (shown.capsule.isEmpty())
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);
    QPainterPath shape;
    // Round ends of a single line's height: a wrapped summary keeps them, so its corners never
    // cut into the text.
    const double radius = std::min({shown.capsule.width(), shown.capsule.height(), singleLineHeight()}) / 2;
    shape.addRoundedRect(shown.capsule, radius, radius);
    painter.fillPath(shape, Theme::withOpacity(tint_, 0.08));

    painter.setPen(Theme::withOpacity(tint_, 0.9));
    painter.setFont(font());
    const QPointF origin = shown.capsule.topLeft() + QPointF(horizontalPadding, verticalPadding);
    for (int i = 0; i < shown.fullLines; ++i)
        shown.lines->lineAt(i).draw(&painter, origin);
    if (!shown.cutLine.isEmpty()) {
        const QTextLine last = shown.lines->lineAt(shown.fullLines);
        painter.drawText(origin + QPointF(0, last.y() + last.ascent()), shown.cutLine);
    }
}

} // namespace vantory
