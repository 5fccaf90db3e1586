#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPalette>

namespace vantory {

// The tray's icon: two arrows chasing each other round a circle, in a colour that reads on
// the tray. Where the tray has the icon paint itself on screen, that colour is chosen from
// what the screen shows there; a tray that asks for a picture gets one in the platform
// theme's text colour.
QIcon trayIcon();

// What the arrows are drawn in on `background`: the theme's text colour when it stands out
// from it, else the theme's window colour, else black or white, whichever stands out more.
QColor inkFor(const QColor& background, const QPalette& theme);

// The tray's colour behind an icon painted over `picture`: the middle value of the pixels
// along its edge, which the arrows keep clear of.
QColor edgeColour(const QImage& picture);

} // namespace vantory
