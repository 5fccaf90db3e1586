#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/TelemetryManagerConfiguration.h"
#include "Telemetry/TelemetryManagerDependencies.h"

#include <QSettings>
#include <memory>
#include <optional>
#include <string>

namespace vantory {

// The static entry point of the telemetry client. Every operation is silent: problems
// become log lines through the configuration's log handler. Until `initialize` (and
// after `terminate`) every operation does nothing.
class Telemetry final {
public:
    Telemetry() = delete;

    // Builds a manager for `config` and stores it as the shared one, replacing any earlier one.
    static void initialize(std::shared_ptr<TelemetryManagerConfiguration> config, TelemetryManagerDependencies dependencies = {});
    static void terminate();

    // The public send: applies the signal and parameter prefixes, warns about reserved
    // names and keys, and passes the signal on.
    static void signal(const std::string& signalName, const SignalParameters& parameters = {},
                       std::optional<double> floatValue = std::nullopt,
                       const std::optional<std::string>& customUserID = std::nullopt);

    // The client's own send path: no signal prefix and no name check; the default
    // parameters are merged under the given ones.
    static void internalSignal(const std::string& signalName, const SignalParameters& parameters = {},
                               std::optional<double> floatValue = std::nullopt,
                               const std::optional<std::string>& customUserID = std::nullopt);

    // Asks the signal manager for one batch 50 ms from now, at most once per 10 seconds.
    static void requestImmediateSync();

    static void updateDefaultUserID(std::optional<std::string> user);
    static void generateNewSession();

    // Duration signals: the stop sends `signalName` with "Telemetry.Signal.durationInSeconds"
    // under the start's and the stop's parameters. Without `includeBackgroundTime` the time
    // the application spends inactive is left out.
    static void startDurationSignal(const std::string& signalName, const SignalParameters& parameters = {},
                                    bool includeBackgroundTime = false);
    static void stopAndSendDurationSignal(const std::string& signalName, const SignalParameters& parameters = {},
                                          std::optional<double> floatValue = std::nullopt,
                                          const std::optional<std::string>& customUserID = std::nullopt);
    static void cancelDurationSignal(const std::string& signalName);

    // The per-app settings suite, or none while no manager is stored.
    static std::shared_ptr<QSettings> customDefaults();

private:
    friend class TelemetryManagerConfiguration;
    // Runs after a configuration's session id changed.
    static void sessionDidBegin(const TelemetryManagerConfiguration& configuration);
};

} // namespace vantory
