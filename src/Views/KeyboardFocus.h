#pragma once

class QWidget;

namespace vantory {

// Gives `widget`'s window the keyboard for typing into it. The panel is made not to take
// focus, so that showing it never steals the keyboard; a press on a text box lifts that,
// as the window could not otherwise be activated, and the window manager is not asked.
void takeKeyboardFor(QWidget* widget);

} // namespace vantory
