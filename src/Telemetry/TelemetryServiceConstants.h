#pragma once

#include <string_view>

namespace vantory::TelemetryService {

// The analytics service's ingestion origin, used when a configuration names no base URL.
inline constexpr std::string_view defaultIngestionOrigin = "https://telemetry.vantory.app";

// Reverse-DNS prefix of the client's queue labels and of the per-app defaults suite name.
inline constexpr std::string_view reverseDNSPrefix = "app.vantory.stats.";

// This client's flavour as reported to the service.
inline constexpr std::string_view sdkName = "CppQtSDK";

} // namespace vantory::TelemetryService
