#include "Telemetry/ReservedNames.h"

#include <QString>

namespace vantory::ReservedNames {

namespace {

std::string lowercased(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower().toStdString();
}

} // namespace

const std::unordered_set<std::string>& reservedKeysLowercased()
{
    static const std::unordered_set<std::string> keys = [] {
        std::unordered_set<std::string> set;
        for (const char* name : {"type",
                                 "clientUser",
                                 "appID",
                                 "sessionID",
                                 "floatValue",
                                 "newSessionBegan",
                                 "platform",
                                 "systemVersion",
                                 "majorSystemVersion",
                                 "majorMinorSystemVersion",
                                 "appVersion",
                                 "buildNumber",
                                 "isSimulator",
                                 "isDebug",
                                 "isTestFlight",
                                 "isAppStore",
                                 "modelName",
                                 "architecture",
                                 "operatingSystem",
                                 "targetEnvironment",
                                 "locale",
                                 "region",
                                 "appLanguage",
                                 "preferredLanguage",
                                 "telemetryClientVersion"})
            set.insert(lowercased(name));
        return set;
    }();
    return keys;
}

bool hasReservedPrefix(std::string_view name)
{
    return lowercased(name).starts_with("telemetry.");
}

bool isReserved(std::string_view name)
{
    return hasReservedPrefix(name) || reservedKeysLowercased().contains(lowercased(name));
}

std::optional<std::string> signalNameWarning(const std::string& name)
{
    if (hasReservedPrefix(name))
        return "Sending signal with reserved prefix 'Telemetry.' will cause unexpected behavior. "
               "Please use another prefix instead.";
    if (isReserved(name))
        return "Sending signal with reserved name '" + name
               + "' will cause unexpected behavior. Please use another name instead.";
    return std::nullopt;
}

std::optional<std::string> parameterKeyWarning(const std::string& key)
{
    if (hasReservedPrefix(key))
        return "Sending parameter with reserved key prefix 'Telemetry.' will cause unexpected behavior. "
               "Please use another prefix instead.";
    if (isReserved(key))
        return "Sending parameter with reserved key '" + key
               + "' will cause unexpected behavior. Please use another key instead.";
    return std::nullopt;
}

} // namespace vantory::ReservedNames
