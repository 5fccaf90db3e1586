#include "Telemetry/Helpers/DecimalText.h"
#include "Telemetry/Signals/SignalPostBody.h"

#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>

namespace vantory::test {
namespace {

using nlohmann::json;

SignalPostBody record(std::optional<double> floatValue)
{
    return {QDateTime(QDate(2025, 3, 1), QTime(14, 5, 9, 250), Qt::UTC),
            "app",
            "hash",
            "0F8FAD5B-D9CB-469F-A165-70867728950E",
            "opened",
            floatValue,
            {{"locale", "de_DE"}},
            "false"};
}

TEST(TelemetrySignalRecordTest, TheWireFormWritesDatesAsGmtText)
{
    const auto posted = json::parse(SignalPostBodyCoding::wireJson({record(std::nullopt), record(0.0)}));

    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0]["receivedAt"], "2025-03-01T14:05:09+0000");
    EXPECT_FALSE(posted[0].contains("floatValue"));
    EXPECT_EQ(posted[1]["floatValue"], 0.0);
    EXPECT_EQ(posted[0]["isTestMode"], "false");
    EXPECT_EQ(posted[0]["sessionID"], "0F8FAD5B-D9CB-469F-A165-70867728950E");
    EXPECT_EQ(posted[0]["payload"], (json{{"locale", "de_DE"}}));
    EXPECT_EQ(posted[0].size(), 7u);
}

TEST(TelemetrySignalRecordTest, TheCacheFormCountsSecondsFrom2001AndReadsBack)
{
    const std::vector<SignalPostBody> records = {record(std::nullopt), record(1.5)};

    const std::string text = SignalPostBodyCoding::cacheJson(records);

    // 2025-03-01 14:05:09.25 UTC is 762530709.25 seconds after 2001-01-01.
    EXPECT_DOUBLE_EQ(json::parse(text)[0]["receivedAt"].get<double>(), 762530709.25);
    const auto read = SignalPostBodyCoding::fromCacheJson(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->records, records);
    EXPECT_EQ(read->outOfRangeDates, 0u);
}

TEST(TelemetrySignalRecordTest, ACachedRecordWithADateOutOfRangeIsLeftOutAlone)
{
    struct Case {
        json receivedAt;
        std::optional<const char*> posted;
    };
    // Seconds since 2001: 1970 and the last second of 9999 are the ends of the range.
    const std::vector<Case> cases = {
        {762530709.25, "2025-03-01T14:05:09+0000"},
        {-978307200.0, "1970-01-01T00:00:00+0000"},
        {252423993599.0, "9999-12-31T23:59:59+0000"},
        {-978307200.5, std::nullopt},
        {252423993600.0, std::nullopt},
        {1e300, std::nullopt},
        {-1e300, std::nullopt},
        {std::numeric_limits<double>::max(), std::nullopt},
    };
    const json valid = json::parse(SignalPostBodyCoding::cacheJson({record(std::nullopt)}))[0];
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.receivedAt.dump());
        json dated = valid;
        dated["receivedAt"] = testCase.receivedAt;

        const auto read = SignalPostBodyCoding::fromCacheJson(json::array({valid, dated, valid}).dump());

        ASSERT_TRUE(read) << "one bad date does not cost the file";
        EXPECT_EQ(read->records.size(), testCase.posted ? 3u : 2u);
        EXPECT_EQ(read->outOfRangeDates, testCase.posted ? 0u : 1u);
        if (testCase.posted) {
            EXPECT_EQ(json::parse(SignalPostBodyCoding::wireJson(read->records))[1]["receivedAt"], *testCase.posted);
        }
    }
}

TEST(TelemetrySignalRecordTest, ACacheFileLackingAKeyOtherThanTheFloatValueIsRefused)
{
    const json complete = json::parse(SignalPostBodyCoding::cacheJson({record(2.0)}))[0];
    for (const char* key : {"receivedAt", "appID", "clientUser", "sessionID", "type", "payload", "isTestMode"}) {
        json lacking = complete;
        lacking.erase(key);
        EXPECT_FALSE(SignalPostBodyCoding::fromCacheJson(json::array({complete, lacking}).dump())) << key;
    }
    json withoutFloat = complete;
    withoutFloat.erase("floatValue");
    EXPECT_TRUE(SignalPostBodyCoding::fromCacheJson(json::array({withoutFloat}).dump()));
    EXPECT_FALSE(SignalPostBodyCoding::fromCacheJson(R"({"not": "a list"})"));
    EXPECT_FALSE(SignalPostBodyCoding::fromCacheJson(R"([{"receivedAt": "yesterday"}])"));
}

TEST(TelemetrySignalRecordTest, TextThatIsNotUtf8IsSentWithReplacementCharacters)
{
    auto broken = record(std::nullopt);
    broken.payload["name"] = "caf\xE9";

    const auto posted = json::parse(SignalPostBodyCoding::wireJson({broken}));

    EXPECT_EQ(posted[0]["payload"]["name"], "caf\xEF\xBF\xBD");
}

TEST(TelemetrySignalRecordTest, DecimalTextIsTheShortestThatReadsBack)
{
    const std::vector<std::pair<double, std::string>> cases = {
        {1080.0, "1080.0"}, {2.0, "2.0"}, {2.5, "2.5"}, {1.25, "1.25"}, {0.1, "0.1"}, {12.034, "12.034"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(shortestDecimalText(value), text) << value;
}

} // namespace
} // namespace vantory::test
