#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/Presets/ErrorCategory.h"
#include "Telemetry/Presets/IdentifiableError.h"
#include "Telemetry/Purchases/PurchaseTransaction.h"
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

    // Ready-made signals under "Telemetry." keys. Each starts from its own parameters and
    // merges the caller's over them (the caller wins on an equal key).
    using UserID = std::optional<std::string>;
    static void acquiredUser(const std::string& channel, const SignalParameters& parameters = {},
                             const UserID& customUserID = {});
    static void leadStarted(const std::string& leadID, const SignalParameters& parameters = {}, const UserID& customUserID = {});
    static void leadConverted(const std::string& leadID, const SignalParameters& parameters = {},
                              const UserID& customUserID = {});
    static void onboardingCompleted(const SignalParameters& parameters = {}, const UserID& customUserID = {});
    static void coreFeatureUsed(const std::string& featureName, const SignalParameters& parameters = {},
                                const UserID& customUserID = {});
    static void referralSent(int receiversCount, const std::optional<std::string>& kind = {},
                             const SignalParameters& parameters = {}, const UserID& customUserID = {});
    // A rating outside 0...10 is not sent; it is logged as an error instead.
    static void userRatingSubmitted(int rating, const std::optional<std::string>& comment = {},
                                    const SignalParameters& parameters = {}, const UserID& customUserID = {});
    static void paywallShown(const std::string& reason, const SignalParameters& parameters = {}, const UserID& customUserID = {});
    static void errorOccurred(const std::string& id, std::optional<ErrorCategory> category = {},
                              const std::optional<std::string>& message = {}, const SignalParameters& parameters = {},
                              std::optional<double> floatValue = {}, const UserID& customUserID = {});
    // Sends the error's description as the message.
    static void errorOccurred(const IdentifiableError& error, ErrorCategory category, const SignalParameters& parameters = {},
                              std::optional<double> floatValue = {}, const UserID& customUserID = {});
    static void errorOccurred(const IdentifiableError& error, ErrorCategory category, const std::optional<std::string>& message,
                              const SignalParameters& parameters = {}, std::optional<double> floatValue = {},
                              const UserID& customUserID = {});
    // Both forms remember `to` as the previous path before sending; the second one takes
    // the previous path (or "") as the source.
    static void navigationPathChanged(const std::string& from, const std::string& to, const UserID& customUserID = {});
    static void navigationPathChangedTo(const std::string& to, const UserID& customUserID = {});
    // A completed purchase with its price in US dollars, or the start of a free trial,
    // which is then watched until it converts or ends.
    static void purchaseCompleted(const PurchaseTransaction& transaction, const SignalParameters& parameters = {},
                                  const UserID& customUserID = {});

private:
    friend class TelemetryManagerConfiguration;
    // Runs after a configuration's session id changed.
    static void sessionDidBegin(const TelemetryManagerConfiguration& configuration);
};

} // namespace vantory
