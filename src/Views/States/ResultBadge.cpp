#include "Views/States/ResultBadge.h"

#include "Views/Icons.h"
#include "Views/Theme.h"

#include <QPainter>

namespace vantory {

ResultBadge::ResultBadge(const QColor& tint, const std::string& symbolName, int symbolPixelSize, QWidget* parent)
    : QWidget(parent),
      tint_(tint),
      glyph_(Icons::glyph(symbolName)),
      glyphFont_(Icons::font(symbolPixelSize))
{
    glyphFont_.setWeight(QFont::Bold);
    setFixedSize(diameter + 2 * overshootRoom, diameter + 2 * overshootRoom);
}

void ResultBadge::setAppearance(double scale, double opacity)
{
    scale_ = scale;
    opacity_ = opacity;
    update();
}

void ResultBadge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity_);
    painter.translate(rect().center() + QPointF(0.5, 0.5));
    painter.scale(scale_, scale_);
    const QRectF circle(-diameter / 2.0, -diameter / 2.0, diameter, diameter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::withOpacity(tint_, 0.12));
    painter.drawEllipse(circle);
    painter.setPen(tint_);
    painter.setFont(glyphFont_);
    painter.drawText(circle, Qt::AlignCenter, glyph_);
}

} // namespace vantory
