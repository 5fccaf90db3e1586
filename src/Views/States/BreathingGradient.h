#pragma once

#include <QLinearGradient>
#include <QRectF>

// The summarizing card's green backdrop while it thinks: four colours whose axis swings
// and whose second and fourth stops trade brightness as `phase` runs from 0 to 1.
namespace vantory::BreathingGradient {

QLinearGradient at(double phase, const QRectF& area);

} // namespace vantory::BreathingGradient
