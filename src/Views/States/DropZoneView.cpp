#include "Views/States/DropZoneView.h"

#include "Views/Icons.h"
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

constexpr double outlineSide = 292;
constexpr double outlineRadius = 18;
constexpr double outlineWidth = 2;

} // namespace

DropZoneView::DropZoneView(QWidget* parent)
    : StateCard(parent),
      dashMarch_(MarchingDashes::march(this, [this](double phase) {
          dashPhase_ = phase;
          update();
      }))
{
    auto* arrow = Typography::symbol("arrow.down.circle.fill", Icons::font(48), Theme::accent(), content());
    auto* title = Typography::label(tr("Drop File"), Typography::font(Theme::TextSize::largeTitle, QFont::Bold), Theme::textPrimary(), content());
    hint_ = Typography::label(tr("Release to continue"), Typography::font(Theme::TextSize::callout, QFont::Medium), Theme::textSecondary(), content());
    hint_->setWordWrap(true);

    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(32, 0, 32, 0);
    column->setSpacing(16);
    column->addStretch();
    column->addWidget(arrow);
    column->addWidget(title);
    column->addWidget(hint_);
    column->addStretch();

    dashMarch_->start();
}

void DropZoneView::setInlineError(const std::optional<QString>& error)
{
    hint_->setText(error ? *error : tr("Release to continue"));
    Typography::setTextColour(hint_, error ? Theme::error() : Theme::textSecondary());
}

QString DropZoneView::hint() const
{
    return hint_->text();
}

void DropZoneView::paintEvent(QPaintEvent* event)
{
    StateCard::paintEvent(event);
    QPainter painter(this);
    QRectF outline(0, 0, outlineSide, outlineSide);
    outline.moveCenter(QRectF(cardRect()).center());
    MarchingDashes::paint(painter, outline, outlineRadius, outlineWidth, Theme::withOpacity(Theme::accent(), 0.25), dashPhase_);
}

} // namespace vantory
