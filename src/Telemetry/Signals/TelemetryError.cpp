#include "Telemetry/Signals/TelemetryError.h"

namespace vantory {

std::string TelemetryError::name() const
{
    switch (kind) {
    case Kind::invalidStatusCode: return "invalidStatusCode(statusCode: " + std::to_string(statusCode) + ")";
    case Kind::unauthorised: return "unauthorised";
    case Kind::forbidden: return "forbidden";
    case Kind::payloadTooLarge: return "payloadTooLarge";
    case Kind::invalidEndpointUrl: return "invalidEndpointUrl";
    }
    return {};
}

std::string TelemetryError::description() const
{
    switch (kind) {
    case Kind::invalidStatusCode: return "Invalid status code " + std::to_string(statusCode);
    case Kind::unauthorised: return "Unauthorized (401)";
    case Kind::forbidden: return "Forbidden (403)";
    case Kind::payloadTooLarge: return "Payload is too large (413)";
    case Kind::invalidEndpointUrl: return "Invalid endpoint URL";
    }
    return {};
}

std::optional<TelemetryError> TelemetryError::fromStatusCode(int statusCode)
{
    if (statusCode >= 200 && statusCode <= 299)
        return std::nullopt;
    switch (statusCode) {
    case 401: return TelemetryError{Kind::unauthorised};
    case 403: return TelemetryError{Kind::forbidden};
    case 413: return TelemetryError{Kind::payloadTooLarge};
    default: return TelemetryError{Kind::invalidStatusCode, statusCode};
    }
}

} // namespace vantory
