#pragma once

namespace vantory {

// The whole percentage of a run: `current * 100 / total` in integers, so it is truncated and
// never rounded up by a floating-point error (29 of 50 is 58). It is not capped at 100; a
// total of 0 gives 0.
int progressPercent(int current, int total);

} // namespace vantory
