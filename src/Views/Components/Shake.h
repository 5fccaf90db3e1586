#pragma once

#include "Platform/Scheduler.h"

#include <QObject>
#include <array>
#include <functional>

namespace vantory::Shake {

// The horizontal offsets a shaken row passes through, one per step; it ends at rest.
inline constexpr std::array<double, 6> offsets{10, -10, 8, -8, 4, 0};
inline constexpr Scheduler::Duration stepInterval{50};
// Each step moves to its offset over this long, easing in and out.
inline constexpr Scheduler::Duration stepDuration{40};

// Schedules all six steps at once, the first right away. `setOffset` takes each step's
// offset; the steps are never cancelled, only dropped with `owner`.
void start(Scheduler& scheduler, QObject* owner, std::function<void(double)> setOffset);

} // namespace vantory::Shake
