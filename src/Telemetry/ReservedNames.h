#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace vantory::ReservedNames {

// Lower-case forms of the names the service fills in itself; built once on first use.
const std::unordered_set<std::string>& reservedKeysLowercased();

// True when the lower-case form of `name` begins with "telemetry.".
bool hasReservedPrefix(std::string_view name);

// True when the lower-case form of `name` is a reserved key or has the reserved prefix.
bool isReserved(std::string_view name);

// The warning logged for a signal name, or none when the name is free.
std::optional<std::string> signalNameWarning(const std::string& name);

// The warning logged for a parameter key, or none when the key is free.
std::optional<std::string> parameterKeyWarning(const std::string& key);

} // namespace vantory::ReservedNames
