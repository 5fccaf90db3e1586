#include "Telemetry/RecordingSignalManager.h"

#include "Telemetry/Helpers/DefaultUserIdentifier.h"

namespace vantory {

RecordingSignalManager::RecordingSignalManager(std::shared_ptr<const TelemetryManagerConfiguration> configuration)
    : configuration_(std::move(configuration))
{
}

void RecordingSignalManager::processSignal(const std::string& signalName, const SignalParameters& parameters,
                                           std::optional<double> floatValue, const std::optional<std::string>& customUserID,
                                           std::shared_ptr<const TelemetryManagerConfiguration>)
{
    std::lock_guard lock(mutex_);
    recorded_.push_back({signalName, parameters, floatValue, customUserID});
}

std::string RecordingSignalManager::defaultUserIdentifier()
{
    return vantory::defaultUserIdentifier(configuration_.get(), userIdentifierMutex_);
}

std::vector<RecordedSignal> RecordingSignalManager::recordedSignals() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

} // namespace vantory
