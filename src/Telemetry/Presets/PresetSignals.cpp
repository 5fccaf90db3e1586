#include "Telemetry/Telemetry.h"

#include "Telemetry/TelemetryManager.h"

namespace vantory {

namespace {

void sendPreset(const std::string& signalName, const SignalParameters& presetParameters, const SignalParameters& parameters,
                const Telemetry::UserID& customUserID)
{
    Telemetry::internalSignal(signalName, applying(presetParameters, parameters), std::nullopt, customUserID);
}

void logError(const std::string& message)
{
    const auto manager = TelemetryManager::shared();
    if (!manager)
        return;
    if (const auto& logHandler = manager->configuration()->logHandler)
        logHandler->log(LogLevel::error, message);
}

} // namespace

void Telemetry::acquiredUser(const std::string& channel, const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Acquisition.userAcquired", {{"Telemetry.Acquisition.channel", channel}}, parameters, customUserID);
}

void Telemetry::leadStarted(const std::string& leadID, const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Acquisition.leadStarted", {{"Telemetry.Acquisition.leadID", leadID}}, parameters, customUserID);
}

void Telemetry::leadConverted(const std::string& leadID, const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Acquisition.leadConverted", {{"Telemetry.Acquisition.leadID", leadID}}, parameters, customUserID);
}

void Telemetry::onboardingCompleted(const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Activation.onboardingCompleted", {}, parameters, customUserID);
}

void Telemetry::coreFeatureUsed(const std::string& featureName, const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Activation.coreFeatureUsed", {{"Telemetry.Activation.featureName", featureName}}, parameters,
               customUserID);
}

void Telemetry::referralSent(int receiversCount, const std::optional<std::string>& kind, const SignalParameters& parameters,
                             const UserID& customUserID)
{
    SignalParameters preset = {{"Telemetry.Referral.receiversCount", std::to_string(receiversCount)}};
    if (kind)
        preset.emplace("Telemetry.Referral.kind", *kind);
    sendPreset("Telemetry.Referral.sent", preset, parameters, customUserID);
}

void Telemetry::userRatingSubmitted(int rating, const std::optional<std::string>& comment, const SignalParameters& parameters,
                                    const UserID& customUserID)
{
    if (rating < 0 || rating > 10) {
        logError("Rating must be between 0 and 10");
        return;
    }
    SignalParameters preset = {{"Telemetry.Referral.ratingValue", std::to_string(rating)}};
    if (comment)
        preset.emplace("Telemetry.Referral.ratingComment", *comment);
    sendPreset("Telemetry.Referral.userRatingSubmitted", preset, parameters, customUserID);
}

void Telemetry::paywallShown(const std::string& reason, const SignalParameters& parameters, const UserID& customUserID)
{
    sendPreset("Telemetry.Revenue.paywallShown", {{"Telemetry.Revenue.paywallShowReason", reason}}, parameters, customUserID);
}

} // namespace vantory
