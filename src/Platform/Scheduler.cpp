#include "Platform/Scheduler.h"

#include <QTimer>

namespace vantory {

void QtScheduler::post(Duration delay, QObject* owner, std::function<void()> step)
{
    QTimer::singleShot(delay, owner, std::move(step));
}

QtScheduler& QtScheduler::shared()
{
    static QtScheduler scheduler;
    return scheduler;
}

} // namespace vantory
