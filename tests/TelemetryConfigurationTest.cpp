#include "Telemetry/TelemetryManagerConfiguration.h"

#include <QtGlobal>
#include <gtest/gtest.h>

namespace vantory {
namespace {

TEST(TelemetryManagerConfigurationTest, OnlyAnAppIdGivesTheDefaults)
{
    const TelemetryManagerConfiguration configuration("APP-ID");

    EXPECT_EQ(configuration.telemetryAppID(), "APP-ID");
    EXPECT_EQ(configuration.salt(), "");
    EXPECT_EQ(configuration.namespace_(), std::nullopt);
    EXPECT_EQ(configuration.apiBaseURL(), QUrl("https://telemetry.vantory.app"));
    EXPECT_EQ(configuration.apiBaseURL().toString().size(), 29);
    EXPECT_EQ(configuration.defaultUser(), std::nullopt);
    EXPECT_EQ(configuration.defaultSignalPrefix, std::nullopt);
    EXPECT_EQ(configuration.defaultParameterPrefix, std::nullopt);
    EXPECT_TRUE(configuration.defaultParameters().empty());
    EXPECT_TRUE(configuration.sendNewSessionBeganSignal);
    EXPECT_FALSE(configuration.sessionID().isNull());
    EXPECT_FALSE(configuration.sendSignalsInDebugConfiguration);
    EXPECT_FALSE(configuration.testMode());
    EXPECT_FALSE(configuration.analyticsDisabled);
    EXPECT_TRUE(configuration.reservedParameterWarningsEnabled);
    EXPECT_TRUE(configuration.sessionStatsEnabled);
    EXPECT_FALSE(configuration.showDebugLogs);
    ASSERT_TRUE(configuration.logHandler.has_value());
    EXPECT_EQ(configuration.logHandler->logLevel, LogLevel::info);
    EXPECT_TRUE(configuration.metadataEnrichers.empty());
}

TEST(TelemetryManagerConfigurationTest, EveryConfigurationStartsItsOwnSession)
{
    EXPECT_NE(TelemetryManagerConfiguration("a").sessionID(), TelemetryManagerConfiguration("a").sessionID());
}

TEST(TelemetryManagerConfigurationTest, DebugBuildFlagHasTwoNames)
{
    TelemetryManagerConfiguration configuration("APP-ID");
    configuration.setTelemetryAllowDebugBuilds(true);
    EXPECT_TRUE(configuration.sendSignalsInDebugConfiguration);
    configuration.sendSignalsInDebugConfiguration = false;
    EXPECT_FALSE(configuration.telemetryAllowDebugBuilds());
}

TEST(TelemetryManagerConfigurationTest, PreviewModeFollowsTheEnvironmentUntilSet)
{
    TelemetryManagerConfiguration configuration("APP-ID");
    qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");
    EXPECT_FALSE(configuration.previewMode());

    qputenv("XCODE_RUNNING_FOR_PREVIEWS", "1");
    EXPECT_TRUE(configuration.previewMode());
    configuration.setPreviewMode(false);
    EXPECT_FALSE(configuration.previewMode());
    qunsetenv("XCODE_RUNNING_FOR_PREVIEWS");

    configuration.setPreviewMode(true);
    EXPECT_TRUE(configuration.previewMode());
}

} // namespace
} // namespace vantory
