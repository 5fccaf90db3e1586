#pragma once

class QWidget;

namespace vantory {

// The panel is made not to take focus, so that showing it never steals the keyboard. A text
// box in it borrows the keyboard for its window while the user types into it, and the window
// gives it back, to the window that had it, once there is nothing left to type into.

// Gives `widget`'s window the keyboard, remembering which window had it unless the keyboard
// is already borrowed.
void takeKeyboardFor(QWidget* widget);

// Makes `widget`'s window refuse focus again and gives the keyboard back to the window that
// had it before; nothing when the keyboard is not borrowed.
void handKeyboardBack(QWidget* widget);

// Hands the keyboard back when the widget that has it lies in `leaving`, which is about to
// fold away, be hidden or go.
void handKeyboardBackFrom(QWidget* leaving);

// Whether `widget`'s window has borrowed the keyboard and not given it back.
bool borrowsKeyboard(const QWidget* widget);

} // namespace vantory
