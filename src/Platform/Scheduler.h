#pragma once

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>

namespace vantory {

// Every delayed step goes through a Scheduler so tests can drive time by hand.
// A posted step is dropped when its owner is destroyed before it is due.
class Scheduler {
public:
    using Duration = std::chrono::milliseconds;
    virtual ~Scheduler() = default;
    virtual void post(Duration delay, QObject* owner, std::function<void()> step) = 0;
};

// The real scheduler: single-shot timers on the owner's thread.
class QtScheduler final : public Scheduler {
public:
    void post(Duration delay, QObject* owner, std::function<void()> step) override;
    static QtScheduler& shared();
};

} // namespace vantory
