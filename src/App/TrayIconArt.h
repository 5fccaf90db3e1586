#pragma once

#include <QIcon>

namespace vantory {

// The tray's icon: two arrows chasing each other round a circle, drawn in the text colour
// of the current palette.
QIcon trayIcon();

} // namespace vantory
