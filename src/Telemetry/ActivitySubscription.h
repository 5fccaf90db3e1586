#pragma once

#include "Telemetry/ApplicationActivity.h"

#include <QMetaObject>
#include <memory>
#include <vector>

namespace vantory {

// While it lives, an observer hears the application become inactive and active again
// through its handleDidEnterBackground() and handleWillEnterForeground(), and, when it
// has a handleWillSleep(), the system about to sleep. The observer is held weakly, so a
// late signal never reaches one that is gone.
class ActivitySubscription {
public:
    ActivitySubscription() = default;
    ~ActivitySubscription()
    {
        for (const auto& connection : connections_)
            QObject::disconnect(connection);
    }
    ActivitySubscription(const ActivitySubscription&) = delete;
    ActivitySubscription& operator=(const ActivitySubscription&) = delete;

    // Nothing happens without an activity source.
    template <class Observer>
    void follow(ApplicationActivity* activity, std::weak_ptr<Observer> observer)
    {
        if (!activity)
            return;
        connections_.push_back(QObject::connect(activity, &ApplicationActivity::becameInactive, [observer] {
            if (auto self = observer.lock())
                self->handleDidEnterBackground();
        }));
        connections_.push_back(QObject::connect(activity, &ApplicationActivity::becameActive, [observer] {
            if (auto self = observer.lock())
                self->handleWillEnterForeground();
        }));
        if constexpr (requires(Observer& listener) { listener.handleWillSleep(); }) {
            connections_.push_back(QObject::connect(activity, &ApplicationActivity::willSleep, [observer] {
                if (auto self = observer.lock())
                    self->handleWillSleep();
            }));
        }
    }

private:
    std::vector<QMetaObject::Connection> connections_;
};

} // namespace vantory
