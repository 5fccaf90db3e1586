#include "Views/EasedSwitch.h"

#include <QVariantAnimation>

namespace vantory {

EasedSwitch::EasedSwitch(std::chrono::milliseconds duration, const QEasingCurve& curve, std::function<void()> onChange,
                         QObject* parent)
    : QObject(parent),
      animation_(new QVariantAnimation(this)),
      onChange_(std::move(onChange))
{
    animation_->setDuration(static_cast<int>(duration.count()));
    animation_->setEasingCurve(curve);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toDouble();
        onChange_();
    });
    connect(animation_, &QVariantAnimation::finished, this, &EasedSwitch::settled);
}

void EasedSwitch::setOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    animation_->stop();
    animation_->setStartValue(progress_);
    animation_->setEndValue(on ? 1.0 : 0.0);
    animation_->start();
}

} // namespace vantory
