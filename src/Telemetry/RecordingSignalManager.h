#pragma once

#include "Telemetry/SignalManageable.h"

#include <memory>
#include <mutex>
#include <vector>

namespace vantory {

// One signal as it reached the signal manager.
struct RecordedSignal {
    std::string name;
    SignalParameters parameters;
    std::optional<double> floatValue;
    std::optional<std::string> customUserID;

    bool operator==(const RecordedSignal&) const = default;
};

// Keeps every processed signal in memory and sends nothing. Signals are recorded
// synchronously on the caller's thread, so they can be read as soon as the facade
// call returns.
class RecordingSignalManager : public SignalManageable {
public:
    explicit RecordingSignalManager(std::shared_ptr<const TelemetryManagerConfiguration> configuration);

    void processSignal(const std::string& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                       const std::optional<std::string>& customUserID,
                       std::shared_ptr<const TelemetryManagerConfiguration> configuration) override;

    void attemptToSendNextBatchOfCachedSignals() override { }

    // The configuration's default user; else the identifier stored in the per-app
    // defaults suite; else a fresh UUID, stored there while a suite exists.
    std::string defaultUserIdentifier() override;

    std::vector<RecordedSignal> recordedSignals() const;

private:
    std::shared_ptr<const TelemetryManagerConfiguration> configuration_;
    mutable std::mutex mutex_;
    std::vector<RecordedSignal> recorded_;
    std::mutex userIdentifierMutex_;
};

} // namespace vantory
