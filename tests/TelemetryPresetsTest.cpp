#include "support/TelemetryFixture.h"

#include "Telemetry/Presets/TrackNavigation.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <map>
#include <stdexcept>
#include <thread>

namespace vantory::test {
namespace {

using TelemetryPresetsTest = TelemetryFixture;

struct PresetCase {
    const char* description;
    std::function<void()> send;
    RecordedSignal expected;
};

TEST_F(TelemetryPresetsTest, EachPresetSendsItsSignalWithItsParameters)
{
    const AnyIdentifiableError diskFull = withId(std::runtime_error("The disk is full"), "disk-full");
    const std::vector<PresetCase> cases = {
        {"acquired user",
         [] { Telemetry::acquiredUser("ads"); },
         {"Telemetry.Acquisition.userAcquired", {{"Telemetry.Acquisition.channel", "ads"}}, {}, {}}},
        {"caller parameters win and the user id is passed on",
         [] {
             Telemetry::acquiredUser("ads", {{"Telemetry.Acquisition.channel", "mail"}, {"campaign", "spring"}}, "user-7");
         },
         {"Telemetry.Acquisition.userAcquired",
          {{"Telemetry.Acquisition.channel", "mail"}, {"campaign", "spring"}},
          {},
          "user-7"}},
        {"lead started",
         [] { Telemetry::leadStarted("L-1"); },
         {"Telemetry.Acquisition.leadStarted", {{"Telemetry.Acquisition.leadID", "L-1"}}, {}, {}}},
        {"lead converted",
         [] { Telemetry::leadConverted("L-1"); },
         {"Telemetry.Acquisition.leadConverted", {{"Telemetry.Acquisition.leadID", "L-1"}}, {}, {}}},
        {"onboarding completed has only the caller's parameters",
         [] {
             Telemetry::onboardingCompleted({{"steps", "4"}});
         },
         {"Telemetry.Activation.onboardingCompleted", {{"steps", "4"}}, {}, {}}},
        {"core feature used",
         [] { Telemetry::coreFeatureUsed("convert"); },
         {"Telemetry.Activation.coreFeatureUsed", {{"Telemetry.Activation.featureName", "convert"}}, {}, {}}},
        {"referral without kind",
         [] { Telemetry::referralSent(3); },
         {"Telemetry.Referral.sent", {{"Telemetry.Referral.receiversCount", "3"}}, {}, {}}},
        {"referral with kind",
         [] { Telemetry::referralSent(12, "email"); },
         {"Telemetry.Referral.sent",
          {{"Telemetry.Referral.receiversCount", "12"}, {"Telemetry.Referral.kind", "email"}},
          {},
          {}}},
        {"rating without comment",
         [] { Telemetry::userRatingSubmitted(0); },
         {"Telemetry.Referral.userRatingSubmitted", {{"Telemetry.Referral.ratingValue", "0"}}, {}, {}}},
        {"rating with an empty comment",
         [] { Telemetry::userRatingSubmitted(7, ""); },
         {"Telemetry.Referral.userRatingSubmitted",
          {{"Telemetry.Referral.ratingValue", "7"}, {"Telemetry.Referral.ratingComment", ""}},
          {},
          {}}},
        {"paywall shown",
         [] { Telemetry::paywallShown("limit"); },
         {"Telemetry.Revenue.paywallShown", {{"Telemetry.Revenue.paywallShowReason", "limit"}}, {}, {}}},
        {"error with id only",
         [] { Telemetry::errorOccurred("E1"); },
         {"Telemetry.Error.occurred", {{"Telemetry.Error.id", "E1"}}, {}, {}}},
        {"error with category",
         [] { Telemetry::errorOccurred("E1", ErrorCategory::userInput); },
         {"Telemetry.Error.occurred", {{"Telemetry.Error.id", "E1"}, {"Telemetry.Error.category", "user-input"}}, {}, {}}},
        {"error with message, float value and user",
         [] {
             Telemetry::errorOccurred("E1", std::nullopt, "boom", {{"screen", "main"}}, 2.5, "user-7");
         },
         {"Telemetry.Error.occurred",
          {{"Telemetry.Error.id", "E1"}, {"Telemetry.Error.message", "boom"}, {"screen", "main"}},
          2.5,
          "user-7"}},
        {"identifiable error sends its description",
         [&] { Telemetry::errorOccurred(diskFull, ErrorCategory::thrownException); },
         {"Telemetry.Error.occurred",
          {{"Telemetry.Error.id", "disk-full"},
           {"Telemetry.Error.category", "thrown-exception"},
           {"Telemetry.Error.message", "The disk is full"}},
          {},
          {}}},
        {"identifiable error with a message of its own",
         [&] { Telemetry::errorOccurred(diskFull, ErrorCategory::appState, "custom", {}, 1.0); },
         {"Telemetry.Error.occurred",
          {{"Telemetry.Error.id", "disk-full"}, {"Telemetry.Error.category", "app-state"}, {"Telemetry.Error.message", "custom"}},
          1.0,
          {}}},
        {"identifiable error with no message",
         [&] { Telemetry::errorOccurred(diskFull, ErrorCategory::appState, std::nullopt); },
         {"Telemetry.Error.occurred", {{"Telemetry.Error.id", "disk-full"}, {"Telemetry.Error.category", "app-state"}}, {}, {}}},
        {"navigation",
         [] { Telemetry::navigationPathChanged("home", "settings", "user-7"); },
         {"Telemetry.Navigation.pathChanged",
          {{"Telemetry.Navigation.schemaVersion", "1"},
           {"Telemetry.Navigation.identifier", "home -> settings"},
           {"Telemetry.Navigation.sourcePath", "home"},
           {"Telemetry.Navigation.destinationPath", "settings"}},
          {},
          "user-7"}},
    };

    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        Telemetry::terminate();
        const auto recorder = start(makeConfiguration());
        testCase.send();
        EXPECT_EQ(recorder->recordedSignals(), std::vector<RecordedSignal>{testCase.expected});
    }
    EXPECT_TRUE(errorLines().empty());
}

TEST_F(TelemetryPresetsTest, PresetsSendNothingWhileAnalyticsAreDisabled)
{
    auto configuration = makeConfiguration();
    configuration->analyticsDisabled = true;
    const auto recorder = start(configuration);

    Telemetry::acquiredUser("ads");
    Telemetry::errorOccurred("E1");
    Telemetry::navigationPathChanged("home", "settings");

    EXPECT_TRUE(recorder->recordedSignals().empty());
}

TEST_F(TelemetryPresetsTest, RatingsOutsideZeroToTenAreLoggedInsteadOfSent)
{
    const auto recorder = start(makeConfiguration());

    Telemetry::userRatingSubmitted(10);
    Telemetry::userRatingSubmitted(11, "too good");
    Telemetry::userRatingSubmitted(-1);

    const auto signals = recorder->recordedSignals();
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0].parameters.at("Telemetry.Referral.ratingValue"), "10");
    EXPECT_EQ(errorLines(), (std::vector<std::string>{"Rating must be between 0 and 10", "Rating must be between 0 and 10"}));
}

std::vector<std::pair<std::string, std::string>> sourcesAndDestinations(const std::vector<RecordedSignal>& signals)
{
    std::vector<std::pair<std::string, std::string>> paths;
    for (const auto& signal : signals) {
        EXPECT_EQ(signal.parameters.at("Telemetry.Navigation.identifier"),
                  signal.parameters.at("Telemetry.Navigation.sourcePath") + " -> "
                      + signal.parameters.at("Telemetry.Navigation.destinationPath"));
        paths.emplace_back(signal.parameters.at("Telemetry.Navigation.sourcePath"),
                           signal.parameters.at("Telemetry.Navigation.destinationPath"));
    }
    return paths;
}

TEST_F(TelemetryPresetsTest, NavigationsFormAChainThroughCallsAndShownObjects)
{
    const auto recorder = start(makeConfiguration());
    QObject library;
    QObject details;
    trackNavigation(&library, "library");
    trackNavigation(&details, "details");
    QEvent show(QEvent::Show);
    QEvent hide(QEvent::Hide);

    Telemetry::navigationPathChanged("home", "settings");
    Telemetry::navigationPathChangedTo("about");
    QCoreApplication::sendEvent(&library, &show);
    QCoreApplication::sendEvent(&library, &hide);
    QCoreApplication::sendEvent(&details, &show);
    QCoreApplication::sendEvent(&library, &show);

    using Paths = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(
        sourcesAndDestinations(recorder->recordedSignals()),
        (Paths{
            {"home", "settings"}, {"settings", "about"}, {"about", "library"}, {"library", "details"}, {"details", "library"}}));
}

TEST_F(TelemetryPresetsTest, NavigationsReportedAtOnceFromManyThreadsStillFormOneChain)
{
    const auto recorder = start(makeConfiguration());
    Telemetry::navigationPathChanged("", "start");
    constexpr int threadCount = 8;
    constexpr int navigationsPerThread = 300;

    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread)
        threads.emplace_back([thread] {
            for (int step = 0; step < navigationsPerThread; ++step)
                Telemetry::navigationPathChangedTo(std::to_string(thread) + "/" + std::to_string(step));
        });
    for (auto& thread : threads)
        thread.join();

    // Each destination is left once, by the navigation that followed it.
    std::map<std::string, int> departures;
    for (const auto& [source, destination] : sourcesAndDestinations(recorder->recordedSignals()))
        ++departures[source];
    EXPECT_EQ(departures.size(), std::size_t(threadCount * navigationsPerThread + 1));
    for (const auto& [source, count] : departures)
        EXPECT_EQ(count, 1) << source;
}

} // namespace
} // namespace vantory::test
