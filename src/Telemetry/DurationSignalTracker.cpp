#include "Telemetry/DurationSignalTracker.h"

#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/Helpers/DecimalText.h"

namespace vantory {

std::string durationText(qint64 milliseconds)
{
    return shortestDecimalText(static_cast<double>(milliseconds) / 1000.0);
}

std::shared_ptr<DurationSignalTracker> DurationSignalTracker::create(std::function<QDateTime()> clock,
                                                                     ApplicationActivity* activity)
{
    std::shared_ptr<DurationSignalTracker> tracker(new DurationSignalTracker(std::move(clock)));
    tracker->observe(activity);
    return tracker;
}

DurationSignalTracker::DurationSignalTracker(std::function<QDateTime()> clock) : clock_(std::move(clock))
{
}

DurationSignalTracker::~DurationSignalTracker()
{
    for (const auto& connection : connections_)
        QObject::disconnect(connection);
}

void DurationSignalTracker::observe(ApplicationActivity* activity)
{
    if (!activity)
        return;
    std::weak_ptr<DurationSignalTracker> weak = weak_from_this();
    connections_.push_back(QObject::connect(activity, &ApplicationActivity::becameInactive, [weak] {
        if (auto self = weak.lock())
            self->handleDidEnterBackground();
    }));
    connections_.push_back(QObject::connect(activity, &ApplicationActivity::becameActive, [weak] {
        if (auto self = weak.lock())
            self->handleWillEnterForeground();
    }));
}

void DurationSignalTracker::startTracking(const std::string& name, const SignalParameters& parameters, bool includeBackgroundTime)
{
    std::lock_guard lock(mutex_);
    startedSignals_.insert_or_assign(name, CachedData{clock_(), parameters, includeBackgroundTime});
}

std::optional<DurationSignalTracker::Measurement> DurationSignalTracker::stopTracking(const std::string& name)
{
    std::lock_guard lock(mutex_);
    const auto found = startedSignals_.find(name);
    if (found == startedSignals_.end())
        return std::nullopt;
    Measurement measurement{found->second.startTime.msecsTo(clock_()), std::move(found->second.parameters)};
    startedSignals_.erase(found);
    return measurement;
}

void DurationSignalTracker::handleDidEnterBackground()
{
    std::lock_guard lock(mutex_);
    lastEnteredBackground_ = clock_();
}

void DurationSignalTracker::handleWillEnterForeground()
{
    std::lock_guard lock(mutex_);
    if (!lastEnteredBackground_)
        return;
    const QDateTime now = clock_();
    for (auto& [name, data] : startedSignals_) {
        if (data.includeBackgroundTime)
            continue;
        // A measurement started while inactive loses only the inactive time after its start.
        const QDateTime inactiveSince = std::max(*lastEnteredBackground_, data.startTime);
        data.startTime = data.startTime.addMSecs(inactiveSince.msecsTo(now));
    }
    lastEnteredBackground_.reset();
}

} // namespace vantory
