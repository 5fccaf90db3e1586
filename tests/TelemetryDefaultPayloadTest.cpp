#include "Telemetry/Signals/DefaultSignalPayload.h"

#include <gtest/gtest.h>

namespace vantory::test {
namespace {

using DefaultSignalPayload::calendarParameters;
using DefaultSignalPayload::parameters;
using DefaultSignalPayload::timeZoneText;

PayloadEnvironment environment()
{
    PayloadEnvironment environment;
    environment.now = QDateTime(QDate(2026, 3, 13), QTime(15, 0), Qt::UTC);
    environment.timeZone = QTimeZone::utc();
    environment.locale = QLocale(QStringLiteral("de_DE"));
    environment.device = {"6.1.0", "ThinkPad X1", "x86_64", "1.2.3", "0"};
    return environment;
}

UsageStatistics usage()
{
    return {"2026-01-02", 42, 9, 4, 12, std::nullopt};
}

TEST(TelemetryDefaultPayloadTest, TheTimeZoneIsWrittenAsAnOffsetFromUtc)
{
    const std::vector<std::pair<int, std::string>> cases = {
        {-5 * 3600, "UTC-5"}, {5 * 3600 + 1800, "UTC+5:30"},    {9 * 3600 + 2700, "UTC+9:45"},
        {0, "UTC+0"},         {-(3 * 3600 + 1800), "UTC-3:30"}, {2 * 3600, "UTC+2"},
    };
    for (const auto& [offset, text] : cases) {
        EXPECT_EQ(timeZoneText(offset), text) << offset;
        auto zoned = environment();
        zoned.timeZone = QTimeZone(offset);
        EXPECT_EQ(parameters(zoned, usage()).at("Telemetry.Device.timeZone"), text);
    }
}

TEST(TelemetryDefaultPayloadTest, TheCalendarCountsFromMondayAndTheHourFromOne)
{
    struct Case {
        QDateTime localNow;
        SignalParameters expected;
    };
    const std::vector<Case> cases = {
        {QDateTime(QDate(2026, 3, 8), QTime(23, 30)), // a Sunday
         {{"Telemetry.Calendar.dayOfMonth", "8"},
          {"Telemetry.Calendar.dayOfWeek", "7"},
          {"Telemetry.Calendar.dayOfYear", "67"},
          {"Telemetry.Calendar.weekOfYear", "11"},
          {"Telemetry.Calendar.isWeekend", "true"},
          {"Telemetry.Calendar.monthOfYear", "3"},
          {"Telemetry.Calendar.quarterOfYear", "1"},
          {"Telemetry.Calendar.hourOfDay", "24"}}},
        {QDateTime(QDate(2026, 3, 13), QTime(0, 5)), // a Friday
         {{"Telemetry.Calendar.dayOfMonth", "13"},
          {"Telemetry.Calendar.dayOfWeek", "5"},
          {"Telemetry.Calendar.dayOfYear", "72"},
          {"Telemetry.Calendar.weekOfYear", "11"},
          {"Telemetry.Calendar.isWeekend", "false"},
          {"Telemetry.Calendar.monthOfYear", "3"},
          {"Telemetry.Calendar.quarterOfYear", "1"},
          {"Telemetry.Calendar.hourOfDay", "1"}}},
        {QDateTime(QDate(2025, 12, 31), QTime(12, 0)), // a Wednesday in the week of 1 January
         {{"Telemetry.Calendar.dayOfMonth", "31"},
          {"Telemetry.Calendar.dayOfWeek", "3"},
          {"Telemetry.Calendar.dayOfYear", "365"},
          {"Telemetry.Calendar.weekOfYear", "1"},
          {"Telemetry.Calendar.isWeekend", "false"},
          {"Telemetry.Calendar.monthOfYear", "12"},
          {"Telemetry.Calendar.quarterOfYear", "4"},
          {"Telemetry.Calendar.hourOfDay", "13"}}},
        {QDateTime(QDate(2026, 7, 4), QTime(9, 0)), // a Saturday
         {{"Telemetry.Calendar.dayOfMonth", "4"},
          {"Telemetry.Calendar.dayOfWeek", "6"},
          {"Telemetry.Calendar.dayOfYear", "185"},
          {"Telemetry.Calendar.weekOfYear", "27"},
          {"Telemetry.Calendar.isWeekend", "true"},
          {"Telemetry.Calendar.monthOfYear", "7"},
          {"Telemetry.Calendar.quarterOfYear", "3"},
          {"Telemetry.Calendar.hourOfDay", "10"}}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.localNow.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(calendarParameters(testCase.localNow), testCase.expected);
    }
}

TEST(TelemetryDefaultPayloadTest, TheCalendarIsReadInTheCurrentZone)
{
    auto zoned = environment();
    zoned.now = QDateTime(QDate(2026, 3, 13), QTime(3, 0), Qt::UTC);
    zoned.timeZone = QTimeZone(-5 * 3600); // Thursday 22:00 there

    const auto result = parameters(zoned, usage());

    EXPECT_EQ(result.at("Telemetry.Calendar.dayOfWeek"), "4");
    EXPECT_EQ(result.at("Telemetry.Calendar.hourOfDay"), "23");
}

TEST(TelemetryDefaultPayloadTest, TheDeviceTheBuildAndTheLocaleAreDescribed)
{
    const auto result = parameters(environment(), usage());

    const SignalParameters expected = {
        {"platform", "Linux"},
        {"operatingSystem", "Linux"},
        {"systemVersion", "Linux 6.1.0"},
        {"majorSystemVersion", "Linux 6"},
        {"majorMinorSystemVersion", "Linux 6.1"},
        {"Telemetry.Device.systemVersion", "Linux 6.1.0"},
        {"appVersion", "1.2.3"},
        {"buildNumber", "0"},
        {"Telemetry.AppInfo.versionAndBuildNumber", "1.2.3 (build 0)"},
        {"modelName", "ThinkPad X1"},
        {"architecture", "x86_64"},
        {"isAppStore", "false"},
        {"isTestFlight", "false"},
        {"Telemetry.RunContext.isAppStore", "false"},
        {"locale", "de_DE"},
        {"region", "DE"},
        {"appLanguage", "de"},
        {"preferredLanguage", "de"},
        {"Telemetry.UserPreference.region", "DE"},
        {"telemetryClientVersion", "2.12.0"},
        {"Telemetry.SDK.nameAndVersion", "CppQtSDK 2.12.0"},
        {"Telemetry.Device.screenResolutionHeight", "N/A"},
        {"Telemetry.Device.screenScaleFactor", "N/A"},
        {"Telemetry.UserPreference.layoutDirection", "N/A"},
        {"Telemetry.UserPreference.colorScheme", "N/A"},
        {"Telemetry.Acquisition.firstSessionDate", "2026-01-02"},
        {"Telemetry.Retention.averageSessionSeconds", "42"},
        {"Telemetry.Retention.distinctDaysUsed", "9"},
        {"Telemetry.Retention.distinctDaysUsedLastMonth", "4"},
        {"Telemetry.Retention.totalSessionsCount", "12"},
    };
    for (const auto& [key, value] : expected) {
        ASSERT_TRUE(result.contains(key)) << key;
        EXPECT_EQ(result.at(key), value) << key;
    }
    EXPECT_EQ(result.size(), 48u + 8u + 5u);
    EXPECT_FALSE(result.contains("Telemetry.Retention.previousSessionSeconds"));
    EXPECT_FALSE(result.contains("Telemetry.Accessibility.isReduceMotionEnabled"));
}

TEST(TelemetryDefaultPayloadTest, AScreenIsDescribedInDecimalTextAndThePreviousSessionWhenThereIsOne)
{
    auto shown = environment();
    shown.screen = ScreenFacts{1920, 1080, 2};
    shown.layoutDirection = Qt::RightToLeft;
    shown.colorScheme = "Dark";
    auto twoSessions = usage();
    twoSessions.previousSessionSeconds = 20;

    const auto result = parameters(shown, twoSessions);

    EXPECT_EQ(result.at("Telemetry.Device.screenResolutionHeight"), "1080.0");
    EXPECT_EQ(result.at("Telemetry.Device.screenResolutionWidth"), "1920.0");
    EXPECT_EQ(result.at("Telemetry.Device.screenScaleFactor"), "2.0");
    EXPECT_EQ(result.at("Telemetry.UserPreference.layoutDirection"), "rightToLeft");
    EXPECT_EQ(result.at("Telemetry.UserPreference.colorScheme"), "Dark");
    EXPECT_EQ(result.at("Telemetry.Retention.previousSessionSeconds"), "20");
}

TEST(TelemetryDefaultPayloadTest, TheKernelReleaseGivesThreeNumbers)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"6.1.0-18-amd64", "6.1.0"},
        {"5.15.153.1-microsoft-standard-WSL2", "5.15.153"},
        {"6.8", "6.8.0"},
        {"4", "4.0.0"},
        {"", "0.0.0"},
    };
    for (const auto& [release, version] : cases)
        EXPECT_EQ(leadingVersionNumbers(release), version) << release;
}

} // namespace
} // namespace vantory::test
