#pragma once

#include <QImage>

namespace vantory {

// The orb's artwork ("OrbIcon"): a round badge of the accent colour with a downward arrow,
// drawn square at `side` device pixels; the orb clips it to a circle.
QImage orbArt(int side);

} // namespace vantory
