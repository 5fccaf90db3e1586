#include "Views/States/CopyButton.h"

#include "Views/Icons.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace vantory {

namespace {

constexpr int verticalPadding = 11;
constexpr int symbolGap = 8;
constexpr double cornerRadius = 12;
constexpr int fadeMilliseconds = 200;

} // namespace

CopyButton::CopyButton(QWidget* parent) : PlainButton(parent)
{
    setText(tr("Copy to Clipboard"));
    setFont(Typography::font(Theme::TextSize::body, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

QString CopyButton::symbolName() const
{
    return copied_ ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc");
}

void CopyButton::setCopied(bool copied)
{
    if (copied_ == copied)
        return;
    copied_ = copied;
    setText(copied ? tr("Copied") : tr("Copy to Clipboard"));
    if (fade_)
        fade_->stop();
    fade_ = new QVariantAnimation(this);
    fade_->setDuration(fadeMilliseconds);
    fade_->setEasingCurve(TimingCurves::easeOut());
    fade_->setStartValue(copiedLook_);
    fade_->setEndValue(copied ? 1.0 : 0.0);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        copiedLook_ = value.toDouble();
        update();
    });
    fade_->start(QAbstractAnimation::DeleteWhenStopped);
}

QSize CopyButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 40, metrics.height() + 2 * verticalPadding};
}

void CopyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, Theme::blend(Theme::accent(), Theme::withOpacity(Theme::accent(), 0.15), copiedLook_));

    const QFont symbolFont = Typography::icon(Theme::TextSize::body, QFont::DemiBold);
    const QString symbol = Icons::glyph(symbolName().toStdString());
    const int symbolWidth = QFontMetrics(symbolFont).horizontalAdvance(symbol);
    const int textWidth = fontMetrics().horizontalAdvance(text());
    const int left = (width() - symbolWidth - symbolGap - textWidth) / 2;

    painter.setPen(Theme::blend(Qt::white, Theme::accent(), copiedLook_));
    painter.setFont(symbolFont);
    painter.drawText(QRect(left, 0, symbolWidth, height()), Qt::AlignCenter, symbol);
    painter.setFont(font());
    painter.drawText(QRect(left + symbolWidth + symbolGap, 0, textWidth, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
    paintFocusRing(painter, QRectF(rect()), cornerRadius);
}

} // namespace vantory
