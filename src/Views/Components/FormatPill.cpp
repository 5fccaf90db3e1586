#include "Views/Components/FormatPill.h"

#include "Views/Components/HoverFade.h"
#include "Views/QtText.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace vantory {

namespace {

constexpr double cornerRadius = 10;
constexpr int verticalPadding = 8;

} // namespace

FormatPill::FormatPill(const ConversionTarget& target, std::function<void()> onTap, QWidget* parent)
    : PlainButton(parent),
      target_(target),
      label_(new QLabel(qtText(target.label), this)),
      hover_(new HoverFade(
          std::chrono::milliseconds(120), [this] { applyHoverColours(); }, this))
{
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(Typography::monospaced(Theme::TextSize::subheadline, QFont::Bold));
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    setText(label_->text());
    setAccessibleName(label_->text());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    applyHoverColours();
    connect(this, &QAbstractButton::clicked, this, [onTap = std::move(onTap)] { onTap(); });
}

bool FormatPill::isHovered() const
{
    return hover_->isHovered();
}

QColor FormatPill::backgroundColour() const
{
    return hover_->blend(Theme::cream(), Theme::accent());
}

QColor FormatPill::textColour() const
{
    return hover_->blend(Theme::textPrimary(), Qt::white);
}

QSize FormatPill::sizeHint() const
{
    return label_->sizeHint() + QSize(0, 2 * verticalPadding);
}

void FormatPill::enterEvent(QEnterEvent* event)
{
    hover_->setHovered(true);
    PlainButton::enterEvent(event);
}

void FormatPill::leaveEvent(QEvent* event)
{
    hover_->setHovered(false);
    PlainButton::leaveEvent(event);
}

void FormatPill::resizeEvent(QResizeEvent* event)
{
    label_->setGeometry(rect());
    PlainButton::resizeEvent(event);
}

void FormatPill::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, backgroundColour());
    paintFocusRing(painter, QRectF(rect()), cornerRadius);
}

void FormatPill::applyHoverColours()
{
    Typography::setTextColour(label_, textColour());
    update();
}

} // namespace vantory
