#include "Telemetry/LogHandler.h"

#include <gtest/gtest.h>
#include <vector>

namespace vantory {
namespace {

TEST(LogHandlerTest, PassesOnlyLinesAtOrAboveItsLevel)
{
    struct Case {
        LogLevel handlerLevel;
        std::vector<std::string> expected;
    };
    for (const Case& testCase :
         {Case{LogLevel::debug, {"d", "i", "e"}}, Case{LogLevel::info, {"i", "e"}}, Case{LogLevel::error, {"e"}}}) {
        SCOPED_TRACE(description(testCase.handlerLevel));
        std::vector<std::string> received;
        const LogHandler handler(testCase.handlerLevel,
                                 [&](LogLevel, const std::string& message) { received.push_back(message); });

        handler.log(LogLevel::debug, "d");
        handler.log(LogLevel::info, "i");
        handler.log(LogLevel::error, "e");

        EXPECT_EQ(received, testCase.expected);
    }
}

TEST(LogHandlerTest, HandlerReceivesTheMessageLevel)
{
    std::vector<LogLevel> levels;
    const LogHandler handler(LogLevel::debug, [&](LogLevel level, const std::string&) { levels.push_back(level); });
    handler.log(LogLevel::error, "x");
    handler.log(LogLevel::debug, "y");
    EXPECT_EQ(levels, (std::vector<LogLevel>{LogLevel::error, LogLevel::debug}));
}

TEST(LogHandlerTest, StandardHandlerPrintsOneTaggedLine)
{
    const LogHandler handler = LogHandler::standard(LogLevel::info);
    EXPECT_EQ(handler.logLevel, LogLevel::info);

    testing::internal::CaptureStdout();
    handler.log(LogLevel::debug, "hidden");
    handler.log(LogLevel::info, "Loaded 3 signals");
    handler.log(LogLevel::error, "Error saving Telemetry cache");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[Telemetry: INFO] Loaded 3 signals\n[Telemetry: ERROR] Error saving Telemetry cache\n");
}

TEST(LogHandlerTest, LevelsDescribeThemselves)
{
    EXPECT_EQ(description(LogLevel::debug), "DEBUG");
    EXPECT_EQ(description(LogLevel::info), "INFO");
    EXPECT_EQ(description(LogLevel::error), "ERROR");
}

} // namespace
} // namespace vantory
