#include "Views/KeyboardFocus.h"

#include "Platform/X11Desktop.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace vantory {

namespace {

// Kept on a window while it borrows the keyboard: who to give it back to.
class KeyboardLoan final : public QObject {
public:
    explicit KeyboardLoan(QWidget* window) : QObject(window) { }

    // One of this program's windows, or else another program's, as the window manager names it.
    QPointer<QWindow> lender;
    WId otherProgramsLender = 0;
    // Whether the borrowing window refused the keyboard before (the panel does), to be so again.
    bool refusedFocus = false;
};

KeyboardLoan* loanOf(const QWidget* widget)
{
    // Not a QObject of its own meta-type, so not found by findChild.
    for (QObject* child : widget->window()->children())
        if (auto* loan = dynamic_cast<KeyboardLoan*>(child))
            return loan;
    return nullptr;
}

void recordLender(QWidget* window)
{
    auto* loan = new KeyboardLoan(window);
    loan->refusedFocus = window->windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
    QWindow* focused = QGuiApplication::focusWindow();
    if (focused && focused != window->windowHandle()) {
        loan->lender = focused;
        return;
    }
    const WId active = X11Desktop::activeWindow();
    if (active != window->winId())
        loan->otherProgramsLender = active;
}

} // namespace

void takeKeyboardFor(QWidget* widget)
{
    QWidget* window = widget->window();
    // On the window handle, not the widget: changing a widget's flags would hide it.
    QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    if (!loanOf(window))
        recordLender(window);
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    window->activateWindow();
}

void handKeyboardBack(QWidget* widget)
{
    QWidget* window = widget->window();
    KeyboardLoan* loan = loanOf(window);
    if (!loan)
        return;
    if (QWidget* focus = window->focusWidget())
        focus->clearFocus();
    if (QWindow* handle = window->windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, loan->refusedFocus);
    if (loan->lender)
        loan->lender->requestActivate();
    else if (loan->otherProgramsLender)
        X11Desktop::activate(loan->otherProgramsLender, window->winId());
    delete loan;
}

void handKeyboardBackFrom(QWidget* leaving)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        focus = leaving->window()->focusWidget();
    if (focus && (focus == leaving || leaving->isAncestorOf(focus)))
        handKeyboardBack(leaving);
}

bool borrowsKeyboard(const QWidget* widget)
{
    return loanOf(widget) != nullptr;
}

} // namespace vantory
