#include "Telemetry/PerAppDefaults.h"

#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/Helpers/PrivateFiles.h"
#include "Telemetry/TelemetryServiceConstants.h"

namespace vantory::PerAppDefaults {

std::string suiteName(const std::string& telemetryAppID)
{
    const std::string hash = CryptoHashing::sha256(telemetryAppID, "");
    return std::string(TelemetryService::reverseDNSPrefix) + hash.substr(hash.size() - 12);
}

std::shared_ptr<QSettings> open(const std::string& telemetryAppID)
{
    auto suite = std::make_shared<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromStdString(suiteName(telemetryAppID)));
    // It holds the raw user identifier. Every later save keeps the mode of the file it replaces.
    PrivateFiles::ensureFile(suite->fileName().toStdString());
    return suite;
}

} // namespace vantory::PerAppDefaults
