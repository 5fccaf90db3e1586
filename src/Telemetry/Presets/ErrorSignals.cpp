#include "Telemetry/Telemetry.h"

namespace vantory {

void Telemetry::errorOccurred(const std::string& id, std::optional<ErrorCategory> category,
                              const std::optional<std::string>& message, const SignalParameters& parameters,
                              std::optional<double> floatValue, const UserID& customUserID)
{
    SignalParameters preset = {{"Telemetry.Error.id", id}};
    if (category)
        preset.emplace("Telemetry.Error.category", rawValue(*category));
    if (message)
        preset.emplace("Telemetry.Error.message", *message);
    internalSignal("Telemetry.Error.occurred", applying(preset, parameters), floatValue, customUserID);
}

void Telemetry::errorOccurred(const IdentifiableError& error, ErrorCategory category, const SignalParameters& parameters,
                              std::optional<double> floatValue, const UserID& customUserID)
{
    errorOccurred(error.id(), category, error.description(), parameters, floatValue, customUserID);
}

void Telemetry::errorOccurred(const IdentifiableError& error, ErrorCategory category, const std::optional<std::string>& message,
                              const SignalParameters& parameters, std::optional<double> floatValue, const UserID& customUserID)
{
    errorOccurred(error.id(), category, message, parameters, floatValue, customUserID);
}

} // namespace vantory
