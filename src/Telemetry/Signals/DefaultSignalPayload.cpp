#include "Telemetry/Signals/DefaultSignalPayload.h"

#include "Telemetry/Helpers/DecimalText.h"
#include "Telemetry/TelemetryServiceConstants.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstdlib>

namespace vantory::DefaultSignalPayload {

namespace {

constexpr const char* platform = "Linux";

// The last part of a locale name split at "-" and "_".
std::string lastPart(const QString& name)
{
    return name.split(QRegularExpression(QStringLiteral("[-_]"))).last().toStdString();
}

std::string firstPart(const QString& name)
{
    return name.split(QRegularExpression(QStringLiteral("[-_]"))).first().toStdString();
}

std::string region(const QLocale& locale)
{
    if (locale.territory() != QLocale::AnyTerritory)
        return QLocale::territoryToCode(locale.territory()).toStdString();
    return lastPart(locale.name());
}

std::string appLanguage(const QLocale& locale)
{
    const QString code = QLocale::languageToCode(locale.language());
    return code.isEmpty() ? firstPart(locale.name()) : code.toStdString();
}

std::string preferredLanguage(const QLocale& locale)
{
    const QStringList languages = locale.uiLanguages();
    return firstPart(languages.isEmpty() ? QStringLiteral("zz-ZZ") : languages.first());
}

std::string screenText(const std::optional<ScreenFacts>& screen, double ScreenFacts::*value)
{
    return screen ? shortestDecimalText((*screen).*value) : "N/A";
}

std::string layoutDirectionText(const std::optional<Qt::LayoutDirection>& direction)
{
    if (!direction)
        return "N/A";
    return *direction == Qt::RightToLeft ? "rightToLeft" : "leftToRight";
}

SignalParameters baseParameters(const PayloadEnvironment& environment)
{
    const DeviceFacts& device = environment.device;
    const std::string os = platform;
    const std::string version = device.kernelVersion;
    const std::string major = version.substr(0, version.find('.'));
    const std::string majorMinor = version.substr(0, version.rfind('.'));
    const std::string systemVersion = os + " " + version;
    const std::string majorSystemVersion = os + " " + major;
    const std::string majorMinorSystemVersion = os + " " + majorMinor;
    const std::string locale = environment.locale.name().toStdString();
    const std::string language = appLanguage(environment.locale);
    const std::string preferred = preferredLanguage(environment.locale);
    const std::string regionCode = region(environment.locale);
    const std::string sdkName(TelemetryService::sdkName);

    return {
        {"platform", os},
        {"systemVersion", systemVersion},
        {"majorSystemVersion", majorSystemVersion},
        {"majorMinorSystemVersion", majorMinorSystemVersion},
        {"appVersion", device.appVersion},
        {"buildNumber", device.buildNumber},
        {"isSimulator", "false"},
        {"isDebug", "false"},
        {"isTestFlight", "false"},
        // Programs here come from no store.
        {"isAppStore", "false"},
        {"modelName", device.modelName},
        {"architecture", device.architecture},
        {"operatingSystem", os},
        {"targetEnvironment", "native"},
        {"locale", locale},
        {"region", regionCode},
        {"appLanguage", language},
        {"preferredLanguage", preferred},
        {"telemetryClientVersion", telemetryClientVersion},
        {"Telemetry.AppInfo.buildNumber", device.buildNumber},
        {"Telemetry.AppInfo.version", device.appVersion},
        {"Telemetry.AppInfo.versionAndBuildNumber", device.appVersion + " (build " + device.buildNumber + ")"},
        {"Telemetry.Device.architecture", device.architecture},
        {"Telemetry.Device.modelName", device.modelName},
        {"Telemetry.Device.operatingSystem", os},
        {"Telemetry.Device.orientation", "Fixed"},
        {"Telemetry.Device.platform", os},
        {"Telemetry.Device.screenResolutionHeight", screenText(environment.screen, &ScreenFacts::height)},
        {"Telemetry.Device.screenResolutionWidth", screenText(environment.screen, &ScreenFacts::width)},
        {"Telemetry.Device.screenScaleFactor", screenText(environment.screen, &ScreenFacts::scaleFactor)},
        {"Telemetry.Device.systemMajorMinorVersion", majorMinorSystemVersion},
        {"Telemetry.Device.systemMajorVersion", majorSystemVersion},
        {"Telemetry.Device.systemVersion", systemVersion},
        {"Telemetry.Device.timeZone", timeZoneText(environment.timeZone.offsetFromUtc(environment.now))},
        {"Telemetry.RunContext.isAppStore", "false"},
        {"Telemetry.RunContext.isDebug", "false"},
        {"Telemetry.RunContext.isSimulator", "false"},
        {"Telemetry.RunContext.isTestFlight", "false"},
        {"Telemetry.RunContext.language", language},
        {"Telemetry.RunContext.locale", locale},
        {"Telemetry.RunContext.targetEnvironment", "native"},
        {"Telemetry.SDK.name", sdkName},
        {"Telemetry.SDK.nameAndVersion", sdkName + " " + telemetryClientVersion},
        {"Telemetry.SDK.version", telemetryClientVersion},
        {"Telemetry.UserPreference.colorScheme", environment.colorScheme},
        {"Telemetry.UserPreference.language", preferred},
        {"Telemetry.UserPreference.layoutDirection", layoutDirectionText(environment.layoutDirection)},
        {"Telemetry.UserPreference.region", regionCode},
    };
}

int weekOfYear(const QDate& date)
{
    const int daysSinceSunday = date.dayOfWeek() % 7;
    const QDate sunday = date.addDays(-daysSinceSunday);
    if (sunday.addDays(6).year() > date.year())
        return 1;
    const int januaryFirstSinceSunday = QDate(date.year(), 1, 1).dayOfWeek() % 7;
    return (date.dayOfYear() - 1 + januaryFirstSinceSunday) / 7 + 1;
}

SignalParameters usageParameters(const UsageStatistics& usage)
{
    SignalParameters parameters = {
        {"Telemetry.Acquisition.firstSessionDate", usage.firstSessionDate},
        {"Telemetry.Retention.averageSessionSeconds", std::to_string(usage.averageSessionSeconds)},
        {"Telemetry.Retention.distinctDaysUsed", std::to_string(usage.distinctDaysUsed)},
        {"Telemetry.Retention.distinctDaysUsedLastMonth", std::to_string(usage.distinctDaysUsedLastMonth)},
        {"Telemetry.Retention.totalSessionsCount", std::to_string(usage.totalSessionsCount)},
    };
    if (usage.previousSessionSeconds)
        parameters["Telemetry.Retention.previousSessionSeconds"] = std::to_string(*usage.previousSessionSeconds);
    return parameters;
}

} // namespace

std::string timeZoneText(int offsetSeconds)
{
    const int hours = offsetSeconds / 3600;
    const int minutes = offsetSeconds / 60 - 60 * hours;
    std::string text = std::string("UTC") + (offsetSeconds >= 0 ? "+" : "-") + std::to_string(std::abs(hours));
    if (minutes != 0) {
        const int absolute = std::abs(minutes);
        text += ":" + std::string(absolute < 10 ? "0" : "") + std::to_string(absolute);
    }
    return text;
}

SignalParameters calendarParameters(const QDateTime& localNow)
{
    const QDate date = localNow.date();
    // Qt counts Monday 1 to Sunday 7, as the parameter does.
    const int dayOfWeek = date.dayOfWeek();
    return {
        {"Telemetry.Calendar.dayOfMonth", std::to_string(date.day())},
        {"Telemetry.Calendar.dayOfWeek", std::to_string(dayOfWeek)},
        {"Telemetry.Calendar.dayOfYear", std::to_string(date.dayOfYear())},
        {"Telemetry.Calendar.weekOfYear", std::to_string(weekOfYear(date))},
        {"Telemetry.Calendar.isWeekend", dayOfWeek >= 6 ? "true" : "false"},
        {"Telemetry.Calendar.monthOfYear", std::to_string(date.month())},
        {"Telemetry.Calendar.quarterOfYear", std::to_string((date.month() - 1) / 3 + 1)},
        {"Telemetry.Calendar.hourOfDay", std::to_string(localNow.time().hour() + 1)},
    };
}

SignalParameters parameters(const PayloadEnvironment& environment, const UsageStatistics& usage)
{
    SignalParameters result = baseParameters(environment);
    result = applying(std::move(result), calendarParameters(environment.now.toTimeZone(environment.timeZone)));
    return applying(std::move(result), usageParameters(usage));
}

} // namespace vantory::DefaultSignalPayload
