#pragma once

#include <QtGui/qwindowdefs.h>

// What only the X11 window system offers a tool window: being shown on every desktop and
// kept out of task bars and pagers, and telling whether a compositor draws translucency.
// Every function does nothing (or answers false) when the application is not on X11.
namespace vantory::X11Desktop {

// Puts the window on all desktops, above others, out of the task bar and the pager. The
// window manager may drop these on each mapping, so call it after every show.
void keepOnAllDesktops(WId window);

// Whether a compositing manager runs on the default screen; without one, transparent
// pixels are drawn black.
bool hasCompositor();

} // namespace vantory::X11Desktop
