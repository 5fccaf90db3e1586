#include "Telemetry/Helpers/DefaultUserIdentifier.h"

#include "Telemetry/Telemetry.h"
#include "Telemetry/TelemetryManagerConfiguration.h"

#include <QUuid>

namespace vantory {

namespace {

constexpr const char* defaultUserIdentifierKey = "defaultUserIdentifier";

std::string freshUserIdentifier()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
}

} // namespace

std::string defaultUserIdentifier(const TelemetryManagerConfiguration* configuration, std::mutex& guard)
{
    if (configuration) {
        if (auto user = configuration->defaultUser())
            return *user;
    }
    auto suite = Telemetry::customDefaults();
    if (!suite)
        return freshUserIdentifier();

    std::lock_guard lock(guard);
    const QString stored = suite->value(defaultUserIdentifierKey).toString();
    if (!stored.isEmpty())
        return stored.toStdString();
    const std::string identifier = freshUserIdentifier();
    suite->setValue(defaultUserIdentifierKey, QString::fromStdString(identifier));
    return identifier;
}

} // namespace vantory
