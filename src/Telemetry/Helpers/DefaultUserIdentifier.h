#pragma once

#include <mutex>
#include <string>

namespace vantory {

class TelemetryManagerConfiguration;

// The configuration's default user; else the identifier stored in the per-app defaults
// suite; else a fresh UUID, stored there while a suite exists. `guard` is held across
// the read and the write so two first calls agree on one identifier.
std::string defaultUserIdentifier(const TelemetryManagerConfiguration* configuration, std::mutex& guard);

} // namespace vantory
