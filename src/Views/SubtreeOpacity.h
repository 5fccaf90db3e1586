#pragma once

class QWidget;

namespace vantory::SubtreeOpacity {

// Fading a widget with everything inside it. Qt cannot draw an opacity effect inside another
// one: it warns that a device is painted by two painters and leaves parts undrawn. So along
// any line of parents only the outermost widget that is fading is drawn through an effect;
// one fading inside it is drawn whole until the outer one is whole again. A whole widget is
// drawn without an effect, which would only cost an offscreen copy.

// Draws `widget` and its children at `opacity`, from 0 (not drawn) to 1.
void set(QWidget* widget, double opacity);

// The opacity last set for `widget`; 1 when none was.
double of(const QWidget* widget);

// Whether `widget` or one of its parents is fading.
bool isFading(const QWidget* widget);

} // namespace vantory::SubtreeOpacity
