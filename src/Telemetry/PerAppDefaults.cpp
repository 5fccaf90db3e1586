#include "Telemetry/PerAppDefaults.h"

#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/TelemetryServiceConstants.h"

namespace vantory::PerAppDefaults {

std::string suiteName(const std::string& telemetryAppID)
{
    const std::string hash = CryptoHashing::sha256(telemetryAppID, "");
    return std::string(TelemetryService::reverseDNSPrefix) + hash.substr(hash.size() - 12);
}

std::shared_ptr<QSettings> open(const std::string& telemetryAppID)
{
    return std::make_shared<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromStdString(suiteName(telemetryAppID)));
}

} // namespace vantory::PerAppDefaults
