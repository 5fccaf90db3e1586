#pragma once

#include <QSettings>
#include <memory>
#include <string>

namespace vantory::PerAppDefaults {

// The reverse-DNS prefix followed by the last 12 hex digits of sha256(appID).
std::string suiteName(const std::string& telemetryAppID);

// The settings suite of that name in the user's configuration folder, its file readable
// by this user only.
std::shared_ptr<QSettings> open(const std::string& telemetryAppID);

} // namespace vantory::PerAppDefaults
