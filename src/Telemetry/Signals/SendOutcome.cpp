#include "Telemetry/Signals/SendOutcome.h"

#include "Telemetry/Signals/TelemetryError.h"

namespace vantory {

std::optional<std::string> failureOf(const SendOutcome& outcome)
{
    if (outcome.statusCode) {
        if (const auto error = TelemetryError::fromStatusCode(*outcome.statusCode))
            return error->name();
        return std::nullopt;
    }
    if (outcome.transportError)
        return outcome.transportError->toStdString();
    return TelemetryError{TelemetryError::Kind::invalidStatusCode, 0}.name();
}

} // namespace vantory
