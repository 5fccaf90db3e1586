#include "Views/ActionCard/AppendZone.h"

#include "Views/Icons.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {
namespace {

constexpr double cornerRadius = 18;
constexpr double lineWidth = 2;
constexpr double dashOn = 10;
constexpr double dashOff = 8;
// Two dash periods: a loop ends where the next begins.
constexpr double dashPhaseLoop = 36;
constexpr int dashLoopMs = 4000;

} // namespace

AppendZone::AppendZone(QWidget* parent) : QWidget(parent), dashMarch_(new QVariantAnimation(this))
{
    auto* plus = Typography::label(Icons::glyph("plus.circle.fill"), Typography::icon(36, QFont::Medium),
                                   Theme::withOpacity(Theme::accent(), 0.7), this);
    auto* title = Typography::label(tr("Drop to Add More"), Typography::font(16, QFont::Bold), Theme::textPrimary(), this);
    auto* hint = Typography::label(tr("Release to append files"), Typography::font(12, QFont::Medium), Theme::textSecondary(),
                                   this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(12);
    column->addStretch();
    column->addWidget(plus);
    column->addWidget(title);
    column->addWidget(hint);
    column->addStretch();
    // Less when the banner needs room below.
    setMaximumHeight(zoneHeight + 2 * padding);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    dashMarch_->setStartValue(0.0);
    dashMarch_->setEndValue(dashPhaseLoop);
    dashMarch_->setDuration(dashLoopMs);
    dashMarch_->setLoopCount(-1);
    connect(dashMarch_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        dashPhase_ = value.toDouble();
        update();
    });
}

void AppendZone::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    dashPhase_ = 0;
    dashMarch_->start();
}

void AppendZone::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    dashMarch_->stop();
}

QRectF AppendZone::zone() const
{
    return QRectF(rect()).adjusted(padding, padding, -padding, -padding);
}

void AppendZone::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The line lies inside the zone's bounds.
    const double inset = lineWidth / 2;
    QPen pen(Theme::withOpacity(Theme::accent(), 0.3), lineWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    // A pen's dashes are measured in line widths.
    pen.setDashPattern({dashOn / lineWidth, dashOff / lineWidth});
    pen.setDashOffset(dashPhase_ / lineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.addRoundedRect(zone().adjusted(inset, inset, -inset, -inset), cornerRadius - inset, cornerRadius - inset);
    painter.drawPath(path);
}

} // namespace vantory
