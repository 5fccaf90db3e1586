#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>
#include <functional>

namespace vantory::test {

// Processes Qt events until `done` holds or the time-out passes; returns whether it held.
inline bool spinUntil(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Waits for the work on the global thread pool and delivers what it queued for this
// thread; a few rounds, as a result delivered here may start more work.
inline void finishBackgroundWork()
{
    for (int round = 0; round < 4; ++round) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
    }
}

} // namespace vantory::test
