#include "Telemetry/ApplicationActivity.h"

#include <QGuiApplication>

namespace vantory {

ApplicationActivity* ApplicationActivity::ofApplication()
{
    static ApplicationActivity* activity = [] {
        auto* source = new ApplicationActivity(QCoreApplication::instance());
        auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (!application)
            return source;
        // Hidden and suspended are inactive too; only a change between active and not is told.
        auto wasActive = std::make_shared<bool>(QGuiApplication::applicationState() == Qt::ApplicationActive);
        QObject::connect(application, &QGuiApplication::applicationStateChanged, source,
                         [source, wasActive](Qt::ApplicationState state) {
                             const bool active = state == Qt::ApplicationActive;
                             if (active == *wasActive)
                                 return;
                             *wasActive = active;
                             if (active)
                                 Q_EMIT source->becameActive();
                             else
                                 Q_EMIT source->becameInactive();
                         });
        return source;
    }();
    return activity;
}

} // namespace vantory
