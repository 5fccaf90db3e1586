#include "Views/States/ConvertingView.h"

#include "Views/Components/TextButton.h"
#include "Views/States/ArcRing.h"
#include "Views/States/ProgressPercent.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantory {

namespace {

constexpr int arcMoveMilliseconds = 300;
constexpr int spinTurnMilliseconds = 800;
constexpr double spinnerArcLength = 0.3;
// The spinner's arc starts at three o'clock before it turns.
constexpr double spinnerStart = 0.25;

TextButton::Look cancelLook()
{
    return {Typography::font(Theme::TextSize::callout, QFont::DemiBold), Theme::textSecondary(), Theme::cream(), 12, 10, 10};
}

} // namespace

ConvertingView::ConvertingView(int current, int total, std::function<void()> onCancel, QWidget* parent)
    : StateCard(parent),
      onCancel_(std::move(onCancel)),
      ring_(new ArcRing),
      cancelButton_(new TextButton(tr("Cancel"), cancelLook()))
{
    percentLabel_ = Typography::label({}, Typography::monospaced(Theme::TextSize::callout, QFont::Bold), Theme::textPrimary(), ring_);
    auto* ringCentre = new QVBoxLayout(ring_);
    ringCentre->setContentsMargins(0, 0, 0, 0);
    ringCentre->addWidget(percentLabel_, 0, Qt::AlignCenter);

    countLabel_ = Typography::label({}, Typography::font(Theme::TextSize::headline, QFont::DemiBold), Theme::textSecondary(), nullptr);

    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    column->addWidget(ring_, 0, Qt::AlignHCenter);
    // 20 between the circle and the line; the ring's line reaches into it.
    column->addSpacing(20 - ArcRing::overhang);
    // The full width, centred in it: the line's length changes with the counts.
    countLabel_->setAlignment(Qt::AlignCenter);
    column->addWidget(countLabel_);
    column->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(Theme::Spacing::cardInset, 0, Theme::Spacing::cardInset, Theme::Spacing::cardBottom);
    buttonRow->addWidget(cancelButton_);
    column->addLayout(buttonRow);

    connect(cancelButton_, &TextButton::clicked, this, [this] {
        if (onCancel_)
            onCancel_();
    });

    setProgress(current, total);
}

void ConvertingView::setProgress(int current, int total)
{
    if (total > 1)
        showDeterminate(current, total);
    else
        showIndeterminate();
}

bool ConvertingView::isSpinning() const
{
    return spin_ != nullptr && spin_->state() == QAbstractAnimation::Running;
}

void ConvertingView::showDeterminate(int current, int total)
{
    const double fraction = static_cast<double>(current) / total;
    percentLabel_->setText(tr("%1%").arg(progressPercent(current, total)));
    percentLabel_->show();
    countLabel_->setText(tr("Converting %1 of %2…").arg(current).arg(total));
    if (determinate_) {
        moveArcTo(fraction);
        return;
    }
    determinate_ = true;
    stopSpinning();
    ring_->setArc(0, fraction);
}

void ConvertingView::showIndeterminate()
{
    percentLabel_->hide();
    countLabel_->setText(tr("Processing…"));
    if (!determinate_ && isSpinning())
        return;
    determinate_ = false;
    if (arcMove_ != nullptr)
        arcMove_->stop();
    startSpinning();
}

void ConvertingView::moveArcTo(double fraction)
{
    if (arcMove_ == nullptr) {
        arcMove_ = new QVariantAnimation(this);
        arcMove_->setDuration(arcMoveMilliseconds);
        arcMove_->setEasingCurve(TimingCurves::easeInEaseOut());
        connect(arcMove_, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { ring_->setArc(0, value.toDouble()); });
    }
    arcMove_->stop();
    arcMove_->setStartValue(ring_->arcLength());
    arcMove_->setEndValue(fraction);
    arcMove_->start();
}

void ConvertingView::startSpinning()
{
    if (spin_ == nullptr) {
        spin_ = new QVariantAnimation(this);
        spin_->setDuration(spinTurnMilliseconds);
        spin_->setStartValue(0.0);
        spin_->setEndValue(1.0);
        spin_->setLoopCount(-1);
        connect(spin_, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& turns) { ring_->setArc(spinnerStart + turns.toDouble(), spinnerArcLength); });
    }
    ring_->setArc(spinnerStart, spinnerArcLength);
    spin_->start();
}

void ConvertingView::stopSpinning()
{
    if (spin_ != nullptr)
        spin_->stop();
}

} // namespace vantory
