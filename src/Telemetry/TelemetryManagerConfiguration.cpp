#include "Telemetry/TelemetryManagerConfiguration.h"

#include "Telemetry/Telemetry.h"
#include "Telemetry/TelemetryServiceConstants.h"

#include <QtGlobal>

namespace vantory {

TelemetryManagerConfiguration::TelemetryManagerConfiguration(std::string appID, std::optional<std::string> salt,
                                                             std::optional<QUrl> baseURL, std::optional<std::string> namespace_)
    : telemetryAppID_(std::move(appID)),
      apiBaseURL_(
          baseURL.value_or(QUrl(QString::fromUtf8(TelemetryService::defaultIngestionOrigin.data(),
                                                  static_cast<qsizetype>(TelemetryService::defaultIngestionOrigin.size()))))),
      apiNamespace_(std::move(namespace_)),
      salt_(salt.value_or("")),
      sessionID_(QUuid::createUuid())
{
}

std::optional<std::string> TelemetryManagerConfiguration::defaultUser() const
{
    std::lock_guard lock(mutex_);
    return defaultUser_;
}

void TelemetryManagerConfiguration::setDefaultUser(std::optional<std::string> user)
{
    std::lock_guard lock(mutex_);
    defaultUser_ = std::move(user);
}

QUuid TelemetryManagerConfiguration::sessionID() const
{
    std::lock_guard lock(mutex_);
    return sessionID_;
}

void TelemetryManagerConfiguration::setSessionID(QUuid id)
{
    {
        std::lock_guard lock(mutex_);
        sessionID_ = id;
    }
    Telemetry::sessionDidBegin(*this);
}

bool TelemetryManagerConfiguration::previewMode() const
{
    if (previewMode_)
        return *previewMode_;
    return qEnvironmentVariable("XCODE_RUNNING_FOR_PREVIEWS") == QLatin1String("1");
}

} // namespace vantory
