#include "Telemetry/Telemetry.h"

#include "Telemetry/DurationSignalTracker.h"
#include "Telemetry/PerAppDefaults.h"
#include "Telemetry/ReservedNames.h"
#include "Telemetry/TelemetryManager.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <chrono>

namespace vantory {

namespace {

using namespace std::chrono_literals;

constexpr const char* sessionStartedSignal = "Telemetry.Session.started";
constexpr const char* durationParameter = "Telemetry.Signal.durationInSeconds";

// Keys of the service's own namespace keep their name; every other key gets the prefix.
SignalParameters prefixingKeys(const SignalParameters& parameters, const std::optional<std::string>& prefix)
{
    return mapKeys(parameters,
                   [&](const std::string& key) { return key.starts_with("Telemetry.") ? key : prefix.value_or("") + key; });
}

void logWarning(const TelemetryManagerConfiguration& configuration, const std::optional<std::string>& warning)
{
    if (warning && configuration.logHandler)
        configuration.logHandler->log(LogLevel::error, *warning);
}

void warnAboutReservedKeys(const TelemetryManagerConfiguration& configuration, const SignalParameters& parameters)
{
    for (const auto& entry : parameters)
        logWarning(configuration, ReservedNames::parameterKeyWarning(entry.first));
}

bool dropsSignals(const TelemetryManagerConfiguration& configuration)
{
    return configuration.previewMode() || configuration.analyticsDisabled;
}

} // namespace

void Telemetry::initialize(std::shared_ptr<TelemetryManagerConfiguration> config, TelemetryManagerDependencies dependencies)
{
    // The earlier manager saves its unsent signals before the new one reads them back.
    terminate();
    auto manager = std::make_shared<TelemetryManager>(std::move(config), std::move(dependencies));
    TelemetryManager::exchangeShared(std::move(manager));
}

void Telemetry::terminate()
{
    // Released outside the storage's lock, in case its teardown reaches the facade.
    if (const auto previous = TelemetryManager::exchangeShared(nullptr))
        previous->shutDown();
}

void Telemetry::signal(const std::string& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                       const std::optional<std::string>& customUserID)
{
    const auto manager = TelemetryManager::shared();
    if (!manager)
        return;
    const auto configuration = manager->configuration();
    if (dropsSignals(*configuration))
        return;

    const std::string name = configuration->defaultSignalPrefix.value_or("") + signalName;
    const SignalParameters prefixed = prefixingKeys(parameters, configuration->defaultParameterPrefix);
    if (configuration->reservedParameterWarningsEnabled) {
        logWarning(*configuration, ReservedNames::signalNameWarning(name));
        warnAboutReservedKeys(*configuration, prefixed);
    }
    internalSignal(name, prefixed, floatValue, customUserID);
}

void Telemetry::internalSignal(const std::string& signalName, const SignalParameters& parameters,
                               std::optional<double> floatValue, const std::optional<std::string>& customUserID)
{
    const auto manager = TelemetryManager::shared();
    if (!manager)
        return;
    const auto configuration = manager->configuration();
    if (dropsSignals(*configuration))
        return;

    const SignalParameters defaults = configuration->defaultParameters ? prefixingKeys(configuration->defaultParameters(),
                                                                                       configuration->defaultParameterPrefix)
                                                                       : SignalParameters{};
    warnAboutReservedKeys(*configuration, defaults);
    manager->signalManager()->processSignal(signalName, applying(defaults, parameters), floatValue, customUserID, configuration);
}

void Telemetry::requestImmediateSync()
{
    const auto manager = TelemetryManager::shared();
    if (!manager || !manager->claimImmediateSync())
        return;

    std::weak_ptr<TelemetryManager> weakManager = manager;
    manager->scheduler().post(50ms, QCoreApplication::instance(), [weakManager] {
        // Below other pooled work: a batch now is welcome, not urgent.
        QThreadPool::globalInstance()->start(
            [weakManager] {
                if (const auto manager = weakManager.lock())
                    manager->signalManager()->attemptToSendNextBatchOfCachedSignals();
            },
            -1);
    });
}

void Telemetry::updateDefaultUserID(std::optional<std::string> user)
{
    if (const auto manager = TelemetryManager::shared())
        manager->configuration()->setDefaultUser(std::move(user));
}

void Telemetry::generateNewSession()
{
    if (const auto manager = TelemetryManager::shared())
        manager->configuration()->setSessionID(QUuid::createUuid());
}

void Telemetry::startDurationSignal(const std::string& signalName, const SignalParameters& parameters, bool includeBackgroundTime)
{
    if (const auto manager = TelemetryManager::shared())
        manager->durationTracker()->startTracking(signalName, parameters, includeBackgroundTime);
}

void Telemetry::stopAndSendDurationSignal(const std::string& signalName, const SignalParameters& parameters,
                                          std::optional<double> floatValue, const std::optional<std::string>& customUserID)
{
    const auto manager = TelemetryManager::shared();
    if (!manager)
        return;
    auto measurement = manager->durationTracker()->stopTracking(signalName);
    if (!measurement)
        return;
    SignalParameters combined{{durationParameter, durationText(measurement->milliseconds)}};
    combined = applying(std::move(combined), measurement->parameters);
    internalSignal(signalName, applying(std::move(combined), parameters), floatValue, customUserID);
}

void Telemetry::cancelDurationSignal(const std::string& signalName)
{
    if (const auto manager = TelemetryManager::shared())
        manager->durationTracker()->stopTracking(signalName);
}

std::shared_ptr<QSettings> Telemetry::customDefaults()
{
    const auto manager = TelemetryManager::shared();
    if (!manager)
        return nullptr;
    return PerAppDefaults::open(manager->configuration()->telemetryAppID());
}

void Telemetry::sessionDidBegin(const TelemetryManagerConfiguration& configuration)
{
    if (configuration.sessionStatsEnabled) {
        if (const auto manager = TelemetryManager::shared())
            manager->startSessionAccounting();
    }
    if (configuration.sendNewSessionBeganSignal)
        internalSignal(sessionStartedSignal);
}

} // namespace vantory
