#pragma once

#include "Telemetry/ActivitySubscription.h"
#include "Telemetry/Helpers/ParameterMaps.h"

#include <QDateTime>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// The running duration measurements, at most one per signal name. A measurement can
// leave out the time the application spends inactive. Safe to call from any thread.
class DurationSignalTracker : public std::enable_shared_from_this<DurationSignalTracker> {
public:
    struct Measurement {
        qint64 milliseconds = 0;
        SignalParameters parameters;
    };

    static std::shared_ptr<DurationSignalTracker> create(std::function<QDateTime()> clock, ApplicationActivity* activity);

    DurationSignalTracker(const DurationSignalTracker&) = delete;
    DurationSignalTracker& operator=(const DurationSignalTracker&) = delete;

    // Replaces any running measurement of that name.
    void startTracking(const std::string& name, const SignalParameters& parameters, bool includeBackgroundTime);
    // Ends the measurement; none when that name is not running.
    std::optional<Measurement> stopTracking(const std::string& name);

    void handleDidEnterBackground();
    void handleWillEnterForeground();

private:
    struct CachedData {
        QDateTime startTime;
        SignalParameters parameters;
        bool includeBackgroundTime = false;
    };

    explicit DurationSignalTracker(std::function<QDateTime()> clock);

    const std::function<QDateTime()> clock_;
    std::mutex mutex_;
    std::map<std::string, CachedData> startedSignals_;
    std::optional<QDateTime> lastEnteredBackground_;
    ActivitySubscription activity_;
};

// The parameter value of a duration: seconds with whole milliseconds, e.g. "2.345" or "3.0".
std::string durationText(qint64 milliseconds);

} // namespace vantory
