#include "Views/Components/HoverFade.h"

#include "Views/TimingCurves.h"

namespace vantory {

HoverFade::HoverFade(std::chrono::milliseconds duration, std::function<void()> onChange, QObject* parent)
    : EasedSwitch(duration, TimingCurves::easeOut(), std::move(onChange), parent)
{
}

QColor HoverFade::blend(const QColor& rest, const QColor& hovered) const
{
    const auto mix = [this](float from, float to) { return from + static_cast<float>(progress()) * (to - from); };
    return QColor::fromRgbF(mix(rest.redF(), hovered.redF()), mix(rest.greenF(), hovered.greenF()),
                            mix(rest.blueF(), hovered.blueF()), mix(rest.alphaF(), hovered.alphaF()));
}

} // namespace vantory
