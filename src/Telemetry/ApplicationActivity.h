#pragma once

#include <QObject>

namespace vantory {

// Tells when the application becomes active or inactive, and when the system is about
// to sleep. Tests emit the signals themselves; `ofApplication` follows the graphical
// application's state, and the application shell tells it of sleep.
class ApplicationActivity : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The process-wide source fed by QGuiApplication::applicationStateChanged; without a
    // graphical application it never reports anything.
    static ApplicationActivity* ofApplication();

Q_SIGNALS:
    void becameActive();
    void becameInactive();
    void willSleep();
};

} // namespace vantory
