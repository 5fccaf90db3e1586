#include "Views/Components/HoverFade.h"

#include "Views/TimingCurves.h"

#include <QVariantAnimation>

namespace vantory {

HoverFade::HoverFade(std::chrono::milliseconds duration, std::function<void()> onChange, QObject* parent)
    : QObject(parent),
      animation_(new QVariantAnimation(this)),
      onChange_(std::move(onChange))
{
    animation_->setDuration(static_cast<int>(duration.count()));
    animation_->setEasingCurve(TimingCurves::easeOut());
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        progress_ = value.toDouble();
        onChange_();
    });
}

void HoverFade::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    animation_->stop();
    animation_->setStartValue(progress_);
    animation_->setEndValue(hovered ? 1.0 : 0.0);
    animation_->start();
}

QColor HoverFade::blend(const QColor& rest, const QColor& hovered) const
{
    const auto mix = [this](float from, float to) { return from + static_cast<float>(progress_) * (to - from); };
    return QColor::fromRgbF(mix(rest.redF(), hovered.redF()), mix(rest.greenF(), hovered.greenF()),
                            mix(rest.blueF(), hovered.blueF()), mix(rest.alphaF(), hovered.alphaF()));
}

} // namespace vantory
