#include "Telemetry/RecordingSignalManager.h"

#include "Telemetry/Telemetry.h"
#include "Telemetry/TelemetryManagerConfiguration.h"

#include <QUuid>

namespace vantory {

namespace {

constexpr const char* defaultUserIdentifierKey = "defaultUserIdentifier";

std::string freshUserIdentifier()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

} // namespace

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
    if (configuration_) {
        if (auto user = configuration_->defaultUser())
            return *user;
    }
    auto suite = Telemetry::customDefaults();
    if (!suite)
        return freshUserIdentifier();

    // Held across the read and the write so two first calls agree on one identifier.
    std::lock_guard lock(mutex_);
    const QString stored = suite->value(defaultUserIdentifierKey).toString();
    if (!stored.isEmpty())
        return stored.toStdString();
    const std::string identifier = freshUserIdentifier();
    suite->setValue(defaultUserIdentifierKey, QString::fromStdString(identifier));
    return identifier;
}

std::vector<RecordedSignal> RecordingSignalManager::recordedSignals() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

} // namespace vantory
