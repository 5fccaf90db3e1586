#include "Views/States/DropZoneView.h"

#include "Views/Icons.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {
namespace {

constexpr double outlineSide = 292;
constexpr double outlineRadius = 18;
constexpr double outlineWidth = 2;
constexpr double dashOn = 10;
constexpr double dashOff = 8;
// Two dash periods: a loop ends where the next begins.
constexpr double dashPhaseLoop = 36;
constexpr int dashLoopMs = 4000;

} // namespace

DropZoneView::DropZoneView(QWidget* parent) : StateCard(parent), dashMarch_(new QVariantAnimation(this))
{
    auto* arrow = new QLabel(Icons::glyph("arrow.down.circle.fill"), content());
    arrow->setFont(Icons::font(48));
    arrow->setAlignment(Qt::AlignCenter);
    Typography::setTextColour(arrow, Theme::accent());
    auto* title = Typography::label(tr("Drop File"), Typography::font(22, QFont::Bold), Theme::textPrimary(), content());
    hint_ = Typography::label(tr("Release to continue"), Typography::font(14, QFont::Medium), Theme::textSecondary(), content());
    hint_->setWordWrap(true);

    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(32, 0, 32, 0);
    column->setSpacing(16);
    column->addStretch();
    column->addWidget(arrow);
    column->addWidget(title);
    column->addWidget(hint_);
    column->addStretch();

    dashMarch_->setStartValue(0.0);
    dashMarch_->setEndValue(dashPhaseLoop);
    dashMarch_->setDuration(dashLoopMs);
    dashMarch_->setLoopCount(-1);
    connect(dashMarch_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        dashPhase_ = value.toDouble();
        update();
    });
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
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF outline(0, 0, outlineSide, outlineSide);
    outline.moveCenter(QRectF(cardRect()).center());
    // The line lies inside the outline's bounds.
    const double inset = outlineWidth / 2;
    QPen pen(Theme::withOpacity(Theme::accent(), 0.25), outlineWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    // A pen's dashes are measured in line widths.
    pen.setDashPattern({dashOn / outlineWidth, dashOff / outlineWidth});
    pen.setDashOffset(dashPhase_ / outlineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.addRoundedRect(outline.adjusted(inset, inset, -inset, -inset), outlineRadius - inset, outlineRadius - inset);
    painter.drawPath(path);
}

} // namespace vantory
