#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"

#include <memory>
#include <optional>
#include <string>

namespace vantory {

class TelemetryManagerConfiguration;

// What the telemetry manager hands its signals to: it turns them into records,
// keeps them and sends them in batches.
class SignalManageable {
public:
    virtual ~SignalManageable() = default;

    // Takes one signal; returns at once.
    virtual void processSignal(const std::string& signalName, const SignalParameters& parameters,
                               std::optional<double> floatValue, const std::optional<std::string>& customUserID,
                               std::shared_ptr<const TelemetryManagerConfiguration> configuration) = 0;

    virtual void attemptToSendNextBatchOfCachedSignals() = 0;

    // The identifier of this installation's user when a signal names none.
    virtual std::string defaultUserIdentifier() = 0;

    // Ends sending and keeps what is unsent for the next start. Called before another
    // manager takes over and when the application quits.
    virtual void stop() { }
};

} // namespace vantory
