#include "support/TelemetryFixture.h"

#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/DurationSignalTracker.h"

namespace vantory::test {
namespace {

constexpr const char* durationKey = "Telemetry.Signal.durationInSeconds";

// Duration signals through the facade, on the fixture's clock, with a test-driven
// activity source.
class TelemetryDurationTest : public TelemetryFixture {
protected:
    std::shared_ptr<RecordingSignalManager> startTelemetry() { return start(makeConfiguration(), nullptr, &activity_); }

public: // the cases' steps below drive these
    void pass(qint64 milliseconds) { now_ = now_.addMSecs(milliseconds); }

    ApplicationActivity activity_;
};

TEST(DurationTextTest, SecondsWithWholeMillisecondsInTheShortestForm)
{
    const std::vector<std::pair<qint64, std::string>> cases = {
        {2345, "2.345"}, {1234, "1.234"}, {1500, "1.5"}, {3000, "3.0"}, {12034, "12.034"}, {0, "0.0"}, {1, "0.001"},
    };
    for (const auto& [milliseconds, text] : cases)
        EXPECT_EQ(durationText(milliseconds), text) << milliseconds;
}

TEST_F(TelemetryDurationTest, TheStopSendsTheElapsedSecondsUnderTheStartAndStopParameters)
{
    const auto recorder = startTelemetry();
    Telemetry::startDurationSignal("export", {{"a", "1"}, {"b", "start"}});
    pass(2345);

    Telemetry::stopAndSendDurationSignal("export", {{"a", "2"}}, 4.0, "someone");

    EXPECT_EQ(recorder->recordedSignals(),
              (std::vector<RecordedSignal>{
                  {"export", {{durationKey, "2.345"}, {"a", "2"}, {"b", "start"}}, 4.0, std::string("someone")}}));
}

TEST_F(TelemetryDurationTest, AStartParameterNamedLikeTheDurationReplacesIt)
{
    const auto recorder = startTelemetry();
    Telemetry::startDurationSignal("export", {{durationKey, "given"}});
    pass(1000);

    Telemetry::stopAndSendDurationSignal("export");

    ASSERT_EQ(recorder->recordedSignals().size(), 1u);
    EXPECT_EQ(recorder->recordedSignals()[0].parameters.at(durationKey), "given");
}

TEST_F(TelemetryDurationTest, StoppingWhatIsNotRunningSendsNothing)
{
    const auto recorder = startTelemetry();
    Telemetry::stopAndSendDurationSignal("never");
    Telemetry::startDurationSignal("once");
    Telemetry::stopAndSendDurationSignal("once");
    Telemetry::stopAndSendDurationSignal("once");
    Telemetry::startDurationSignal("cancelled");
    Telemetry::cancelDurationSignal("cancelled");
    Telemetry::stopAndSendDurationSignal("cancelled");

    ASSERT_EQ(recorder->recordedSignals().size(), 1u);
    EXPECT_EQ(recorder->recordedSignals()[0].name, "once");
}

TEST_F(TelemetryDurationTest, InactiveSpansAreLeftOutUnlessAsked)
{
    struct Case {
        const char* description;
        std::function<void(TelemetryDurationTest&)> run;
        std::string withoutBackground;
        std::string withBackground;
    };
    const std::vector<Case> cases = {
        {"one inactive span",
         [](TelemetryDurationTest& t) {
             t.pass(2000);
             Q_EMIT t.activity_.becameInactive();
             t.pass(10000);
             Q_EMIT t.activity_.becameActive();
             t.pass(5000);
         },
         "7.0", "17.0"},
        {"two inactive spans",
         [](TelemetryDurationTest& t) {
             for (int i = 0; i < 2; ++i) {
                 t.pass(1000);
                 Q_EMIT t.activity_.becameInactive();
                 t.pass(10000);
                 Q_EMIT t.activity_.becameActive();
             }
             t.pass(500);
         },
         "2.5", "22.5"},
        {"activation without deactivation",
         [](TelemetryDurationTest& t) {
             t.pass(3000);
             Q_EMIT t.activity_.becameActive();
             t.pass(1000);
         },
         "4.0", "4.0"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        const auto recorder = startTelemetry();
        Telemetry::startDurationSignal("active", {}, false);
        Telemetry::startDurationSignal("whole", {}, true);
        testCase.run(*this);
        Telemetry::stopAndSendDurationSignal("active");
        Telemetry::stopAndSendDurationSignal("whole");

        const auto recorded = recorder->recordedSignals();
        ASSERT_EQ(recorded.size(), 2u);
        EXPECT_EQ(recorded[0].parameters.at(durationKey), testCase.withoutBackground);
        EXPECT_EQ(recorded[1].parameters.at(durationKey), testCase.withBackground);
    }
}

TEST_F(TelemetryDurationTest, InactiveTimeBeforeAMeasurementStartedIsNotSubtracted)
{
    const auto recorder = startTelemetry();
    Q_EMIT activity_.becameInactive();
    pass(10000);
    Telemetry::startDurationSignal("late");
    pass(3000);
    Q_EMIT activity_.becameActive();
    pass(4000);

    Telemetry::stopAndSendDurationSignal("late");

    ASSERT_EQ(recorder->recordedSignals().size(), 1u);
    EXPECT_EQ(recorder->recordedSignals()[0].parameters.at(durationKey), "4.0");
}

TEST_F(TelemetryDurationTest, EachManagerStartsWithoutMeasurements)
{
    startTelemetry();
    Telemetry::startDurationSignal("export");
    const auto recorder = startTelemetry();

    Telemetry::stopAndSendDurationSignal("export");

    EXPECT_TRUE(recorder->recordedSignals().empty());
}

} // namespace
} // namespace vantory::test
