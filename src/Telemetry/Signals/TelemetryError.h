#pragma once

#include <optional>
#include <string>

namespace vantory {

// Why the service did not take a batch.
struct TelemetryError {
    enum class Kind { invalidStatusCode, unauthorised, forbidden, payloadTooLarge, invalidEndpointUrl };

    Kind kind;
    int statusCode = 0; // for invalidStatusCode

    // How log lines name it: the case name, e.g. "forbidden" or "invalidStatusCode(statusCode: 500)".
    std::string name() const;
    // The user-facing description, e.g. "Forbidden (403)".
    std::string description() const;

    // None for 200 to 299; the matching error for any other status.
    static std::optional<TelemetryError> fromStatusCode(int statusCode);
};

} // namespace vantory
