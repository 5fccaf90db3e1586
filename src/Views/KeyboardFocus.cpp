#include "Views/KeyboardFocus.h"

#include <QWidget>
#include <QWindow>

namespace vantory {

void takeKeyboardFor(QWidget* widget)
{
    QWidget* window = widget->window();
    // On the window handle, not the widget: changing a widget's flags would hide it.
    if (QWindow* handle = window->windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    window->activateWindow();
}

} // namespace vantory
