#pragma once

#include <QtGui/qwindowdefs.h>

class QRegion;

// What only the X11 window system offers a tool window: being shown on every desktop and
// kept out of task bars and pagers, telling whether a compositor draws translucency, taking
// the pointer only in a part of the window, and handing the keyboard back to another
// program's window. Every function does nothing (or
// answers false or 0) when the application is not on X11.
namespace vantory::X11Desktop {

// Puts the window on all desktops, above others, out of the task bar and the pager. The
// window manager may drop these on each mapping, so call it after every show.
void keepOnAllDesktops(WId window);

// Whether a compositing manager runs on the default screen; without one, transparent
// pixels are drawn black.
bool hasCompositor();

// Lets only `region` of the window (in its own coordinates) take the pointer; elsewhere the
// pointer reaches the windows below. An empty region gives the whole window the pointer again.
// What is drawn is not changed.
void setInputRegion(WId window, const QRegion& region);

// The window the window manager says has the keyboard, whichever program it belongs to;
// 0 when it does not say.
WId activeWindow();

// Asks the window manager to give the keyboard to `window`, on behalf of `from`, the
// window that has it now.
void activate(WId window, WId from);

} // namespace vantory::X11Desktop
