#include "Views/Components/ActionRow.h"

#include "Views/Components/HoverFade.h"
#include "Views/Components/Shake.h"
#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace vantory {

ActionRow::ActionRow(const std::string& icon, const QString& title, const std::string& trailingSymbol, QWidget* parent)
    : PlainButton(parent),
      trailingSymbol_(trailingSymbol),
      face_(new QWidget(this)),
      faceLayout_(new QHBoxLayout(face_)),
      icon_(new SymbolLabel(icon, Typography::icon(Theme::TextSize::title3, QFont::DemiBold), face_)),
      title_(Typography::rowLabel(title, Typography::font(Theme::TextSize::headline, QFont::DemiBold), Theme::textPrimary(), face_)),
      trailing_(new SymbolLabel(trailingSymbol, Typography::icon(Theme::TextSize::footnote, QFont::Bold), face_)),
      hover_(new HoverFade(
          std::chrono::milliseconds(150), [this] { applyHoverColours(); }, this)),
      offsetAnimation_(new QVariantAnimation(this))
{
    // The button takes every click and hover; its face only shows.
    face_->setAttribute(Qt::WA_TransparentForMouseEvents);
    using namespace Theme::Spacing;
    faceLayout_->setContentsMargins(rowInset, rowPadding, rowInset, rowPadding);
    faceLayout_->setSpacing(rowGap);
    icon_->setFixedWidth(22);
    icon_->setAlignment(Qt::AlignCenter);
    // A policy of its own would drop the height-for-width that word wrap gives the label.
    QSizePolicy titlePolicy = title_->sizePolicy();
    titlePolicy.setHorizontalPolicy(QSizePolicy::Expanding);
    title_->setSizePolicy(titlePolicy);
    faceLayout_->addWidget(icon_);
    faceLayout_->addWidget(title_, 1);
    faceLayout_->addWidget(trailing_);
    Typography::setTextColour(trailing_, Theme::withOpacity(Theme::textSecondary(), 0.4));

    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setText(title);
    setAccessibleName(title);
    applyHoverColours();

    offsetAnimation_->setDuration(static_cast<int>(Shake::stepDuration.count()));
    offsetAnimation_->setEasingCurve(TimingCurves::easeInEaseOut());
    connect(offsetAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        drawnOffset_ = value.toDouble();
        placeFace();
        update();
    });
}

void ActionRow::setTitle(const QString& title)
{
    if (title == title_->text())
        return;
    title_->setText(title);
    setText(title);
    setAccessibleName(title);
    updateGeometry();
}

QString ActionRow::title() const
{
    return title_->text();
}

void ActionRow::setSymbol(const std::string& icon)
{
    icon_->setSymbol(icon);
}

void ActionRow::setTrailingSymbol(const std::string& symbol)
{
    trailingSymbol_ = symbol;
    trailing_->setSymbol(symbol);
}

std::string ActionRow::foldChevron(bool expanded)
{
    return expanded ? "chevron.up" : "chevron.down";
}

bool ActionRow::isHovered() const
{
    return hover_->isHovered();
}

QColor ActionRow::backgroundColour() const
{
    return hover_->blend(Theme::withOpacity(Theme::cream(), 0.6), Theme::cream());
}

QColor ActionRow::foregroundColour() const
{
    return hover_->blend(Theme::textPrimary(), Theme::accent());
}

void ActionRow::setShakeOffset(double offset)
{
    shakeOffset_ = offset;
    offsetAnimation_->stop();
    offsetAnimation_->setStartValue(drawnOffset_);
    offsetAnimation_->setEndValue(offset);
    offsetAnimation_->start();
}

QSize ActionRow::sizeHint() const
{
    return faceLayout_->sizeHint();
}

QSize ActionRow::minimumSizeHint() const
{
    return faceLayout_->minimumSize();
}

bool ActionRow::hasHeightForWidth() const
{
    return faceLayout_->hasHeightForWidth();
}

int ActionRow::heightForWidth(int width) const
{
    return faceLayout_->hasHeightForWidth() ? faceLayout_->totalHeightForWidth(width) : sizeHint().height();
}

void ActionRow::enterEvent(QEnterEvent* event)
{
    hover_->setHovered(true);
    PlainButton::enterEvent(event);
}

void ActionRow::leaveEvent(QEvent* event)
{
    hover_->setHovered(false);
    PlainButton::leaveEvent(event);
}

void ActionRow::resizeEvent(QResizeEvent* event)
{
    placeFace();
    PlainButton::resizeEvent(event);
}

void ActionRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    const QRectF drawn = QRectF(rect()).translated(drawnOffset_, 0);
    shape.addRoundedRect(drawn, Theme::rowCornerRadius, Theme::rowCornerRadius);
    painter.fillPath(shape, backgroundColour());
    paintFocusRing(painter, drawn, Theme::rowCornerRadius);
}

void ActionRow::applyHoverColours()
{
    const QColor foreground = foregroundColour();
    Typography::setTextColour(icon_, foreground);
    Typography::setTextColour(title_, foreground);
    update();
}

void ActionRow::placeFace()
{
    face_->setGeometry(rect().translated(static_cast<int>(std::lround(drawnOffset_)), 0));
}

} // namespace vantory
