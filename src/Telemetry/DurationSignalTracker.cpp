#include "Telemetry/DurationSignalTracker.h"

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
    tracker->activity_.follow(activity, tracker->weak_from_this());
    return tracker;
}

DurationSignalTracker::DurationSignalTracker(std::function<QDateTime()> clock) : clock_(std::move(clock))
{
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
