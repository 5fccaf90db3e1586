#include "Views/ActionCard/AppendZone.h"

#include "Views/MarchingDashes.h"
#include "Views/SymbolLabel.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {
namespace {

constexpr double cornerRadius = 18;
constexpr double lineWidth = 2;

} // namespace

AppendZone::AppendZone(QWidget* parent)
    : QWidget(parent),
      dashMarch_(MarchingDashes::march(this, [this](double phase) {
          dashPhase_ = phase;
          update();
      }))
{
    auto* plus = Typography::symbol("plus.circle.fill", Typography::icon(Theme::TextSize::extraLargeSymbol, QFont::Medium),
                                    Theme::withOpacity(Theme::accent(), 0.7), this);
    auto* title = Typography::label(tr("Drop to Add More"), Typography::font(Theme::TextSize::title3, QFont::Bold), Theme::textPrimary(), this);
    auto* hint = Typography::label(tr("Release to append files"), Typography::font(Theme::TextSize::subheadline, QFont::Medium), Theme::textSecondary(),
                                   this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(12);
    column->addStretch();
    column->addWidget(plus);
    column->addWidget(title);
    column->addWidget(hint);
    column->addStretch();
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
    MarchingDashes::paint(painter, zone(), cornerRadius, lineWidth, Theme::withOpacity(Theme::accent(), 0.3), dashPhase_);
}

} // namespace vantory
