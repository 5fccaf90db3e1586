#pragma once

#include "Platform/Scheduler.h"

#include <QObject>
#include <array>
#include <functional>

namespace vantory::Shake {

// The horizontal offsets a shaken row passes through, one per step; it ends at rest.
using Offsets = std::array<double, 6>;
inline constexpr Offsets offsets{10, -10, 8, -8, 4, 0};
// An unlock row's password box shakes a little wider.
inline constexpr Offsets wideOffsets{12, -12, 10, -10, 5, 0};
inline constexpr Scheduler::Duration stepInterval{50};
// A row given a new error waits this long before it starts shaking.
inline constexpr Scheduler::Duration errorDelay{50};
// Each step moves to its offset over this long, easing in and out.
inline constexpr Scheduler::Duration stepDuration{40};

// Schedules all six steps at once, the first right away. `setOffset` takes each step's
// offset; the steps are never cancelled, only dropped with `owner`.
void start(Scheduler& scheduler, QObject* owner, std::function<void(double)> setOffset, const Offsets& steps = offsets);

} // namespace vantory::Shake
