#include "support/TelemetryFixture.h"

#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/PerAppDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

using namespace std::chrono_literals;

namespace vantory::test {
namespace {

const std::string reservedPrefixWarning = "Sending signal with reserved prefix 'Telemetry.' will cause unexpected "
                                          "behavior. Please use another prefix instead.";
const std::string reservedKeyPrefixWarning = "Sending parameter with reserved key prefix 'Telemetry.' will cause "
                                             "unexpected behavior. Please use another prefix instead.";

std::string reservedNameWarning(const std::string& name)
{
    return "Sending signal with reserved name '" + name + "' will cause unexpected behavior. Please use another name instead.";
}

std::string reservedKeyWarning(const std::string& key)
{
    return "Sending parameter with reserved key '" + key + "' will cause unexpected behavior. Please use another key instead.";
}

class CountingSignalManager final : public RecordingSignalManager {
public:
    using RecordingSignalManager::RecordingSignalManager;
    void attemptToSendNextBatchOfCachedSignals() override { ++attempts; }
    std::atomic<int> attempts = 0;
};

using TelemetryFacadeTest = TelemetryFixture;

struct WarningCase {
    const char* description;
    std::function<void(TelemetryManagerConfiguration&)> configure;
    std::string name;
    SignalParameters parameters;
    std::vector<std::string> expectedWarnings;
    std::string expectedName;
    SignalParameters expectedParameters;
};

TEST_F(TelemetryFacadeTest, ReservedNamesAndKeysAreWarnedAboutAndStillSent)
{
    const auto none = [](TelemetryManagerConfiguration&) {};
    const std::vector<WarningCase> cases = {
        {"ordinary signal",
         none,
         "conversion.completed",
         {{"actionId", "to_png"}, {"fileCount", "2"}},
         {},
         "conversion.completed",
         {{"actionId", "to_png"}, {"fileCount", "2"}}},
        {"service prefix", none, "telemetry.custom", {}, {reservedPrefixWarning}, "telemetry.custom", {}},
        {"service prefix in mixed case warns once",
         none,
         "TeLeMeTrY.Custom",
         {},
         {reservedPrefixWarning},
         "TeLeMeTrY.Custom",
         {}},
        {"reserved name quoted as passed", none, "Platform", {}, {reservedNameWarning("Platform")}, "Platform", {}},
        {"reserved name and key",
         none,
         "isDebug",
         {{"appID", "x"}},
         {reservedNameWarning("isDebug"), reservedKeyWarning("appID")},
         "isDebug",
         {{"appID", "x"}}},
        {"reserved key quoted as passed",
         none,
         "opened",
         {{"Locale", "de"}},
         {reservedKeyWarning("Locale")},
         "opened",
         {{"Locale", "de"}}},
        {"key with service prefix",
         none,
         "opened",
         {{"telemetry.mine", "1"}},
         {reservedKeyPrefixWarning},
         "opened",
         {{"telemetry.mine", "1"}}},
        {"signal prefix frees a reserved name",
         [](TelemetryManagerConfiguration& c) { c.defaultSignalPrefix = "app."; },
         "type",
         {},
         {},
         "app.type",
         {}},
        {"parameter prefix spares service keys and frees reserved ones",
         [](TelemetryManagerConfiguration& c) { c.defaultParameterPrefix = "my."; },
         "opened",
         {{"Telemetry.x", "1"}, {"locale", "de"}},
         {reservedKeyPrefixWarning},
         "opened",
         {{"Telemetry.x", "1"}, {"my.locale", "de"}}},
        {"warnings disabled still warn about default parameter keys",
         [](TelemetryManagerConfiguration& c) {
             c.reservedParameterWarningsEnabled = false;
             c.defaultParameters = [] { return SignalParameters{{"locale", "de_DE"}}; };
         },
         "platform",
         {{"type", "x"}},
         {reservedKeyWarning("locale")},
         "platform",
         {{"type", "x"}, {"locale", "de_DE"}}},
        {"prefixed default parameter key is free",
         [](TelemetryManagerConfiguration& c) {
             c.defaultParameterPrefix = "my.";
             c.defaultParameters = [] { return SignalParameters{{"locale", "de_DE"}}; };
         },
         "opened",
         {},
         {},
         "opened",
         {{"my.locale", "de_DE"}}},
    };

    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        clearLog();
        auto configuration = makeConfiguration();
        testCase.configure(*configuration);
        const auto recorder = start(configuration);

        Telemetry::signal(testCase.name, testCase.parameters);

        EXPECT_EQ(errorLines(), testCase.expectedWarnings);
        const auto recorded = recorder->recordedSignals();
        ASSERT_EQ(recorded.size(), 1u);
        EXPECT_EQ(recorded[0].name, testCase.expectedName);
        EXPECT_EQ(recorded[0].parameters, testCase.expectedParameters);
    }
}

TEST_F(TelemetryFacadeTest, CallParameterBeatsDefaultParameterWithTheSameKey)
{
    auto configuration = makeConfiguration();
    configuration->defaultParameterPrefix = "app.";
    configuration->defaultParameters = [] { return SignalParameters{{"mode", "default"}, {"theme", "dark"}}; };
    const auto recorder = start(configuration);

    Telemetry::signal("opened", {{"mode", "call"}});

    const auto recorded = recorder->recordedSignals();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].parameters, (SignalParameters{{"app.mode", "call"}, {"app.theme", "dark"}}));
}

TEST_F(TelemetryFacadeTest, InternalSignalTakesNoPrefixAndNoNameCheck)
{
    auto configuration = makeConfiguration();
    configuration->defaultSignalPrefix = "app.";
    const auto recorder = start(configuration);

    Telemetry::internalSignal("Telemetry.Custom.thing", {{"Telemetry.Signal.x", "1"}}, 2.5, "user-1");

    EXPECT_TRUE(errorLines().empty());
    const auto recorded = recorder->recordedSignals();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], (RecordedSignal{"Telemetry.Custom.thing", {{"Telemetry.Signal.x", "1"}}, 2.5, std::string("user-1")}));
}

TEST_F(TelemetryFacadeTest, SignalPassesFloatValueAndCustomUserOn)
{
    const auto recorder = start(makeConfiguration());

    Telemetry::signal("donation.shown");
    Telemetry::signal("rated", {}, 0.0, "someone");

    const auto recorded = recorder->recordedSignals();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0], (RecordedSignal{"donation.shown", {}, std::nullopt, std::nullopt}));
    EXPECT_EQ(recorded[1], (RecordedSignal{"rated", {}, 0.0, std::string("someone")}));
}

TEST_F(TelemetryFacadeTest, DisabledAnalyticsDropEverySignalButKeepSessionAccounting)
{
    auto configuration = makeConfiguration();
    configuration->analyticsDisabled = true;
    const auto recorder = start(configuration);

    Telemetry::signal("conversion.completed", {{"actionId", "to_png"}});
    Telemetry::internalSignal("Telemetry.Custom.thing");
    scheduler_.advance(500ms);

    EXPECT_TRUE(recorder->recordedSignals().empty());
    EXPECT_EQ(sessionAccountingStarts_, 1);
}

TEST_F(TelemetryFacadeTest, PreviewModeDropsSignals)
{
    auto configuration = makeConfiguration();
    configuration->setPreviewMode(true);
    const auto recorder = start(configuration);

    Telemetry::signal("Platform");
    Telemetry::internalSignal("Telemetry.Custom.thing");

    EXPECT_TRUE(recorder->recordedSignals().empty());
    EXPECT_TRUE(errorLines().empty());
}

TEST_F(TelemetryFacadeTest, CallsBeforeInitializeDoNothingAndCreateNothing)
{
    Telemetry::signal("conversion.completed", {{"actionId", "to_png"}, {"fileCount", "1"}});
    Telemetry::signal("donation.shown");
    Telemetry::internalSignal("Telemetry.Custom.thing");
    Telemetry::requestImmediateSync();
    Telemetry::updateDefaultUserID("someone");
    Telemetry::generateNewSession();
    TelemetryManager::send("legacy");
    scheduler_.advance(10s);
    QThreadPool::globalInstance()->waitForDone();

    EXPECT_FALSE(TelemetryManager::isInitialized());
    EXPECT_EQ(Telemetry::customDefaults(), nullptr);
    EXPECT_EQ(scheduler_.pendingCount(), 0u);
    EXPECT_TRUE(QDir(settingsFolder()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(TelemetryFacadeTest, FirstSessionStartsHalfASecondAfterInitialize)
{
    auto configuration = makeConfiguration();
    const QUuid initialSession = configuration->sessionID();
    const auto recorder = start(configuration);

    scheduler_.advance(499ms);
    EXPECT_TRUE(recorder->recordedSignals().empty());
    EXPECT_EQ(sessionAccountingStarts_, 0);

    scheduler_.advance(1ms);
    EXPECT_EQ(recorder->recordedSignals(),
              (std::vector<RecordedSignal>{{"Telemetry.Session.started", {}, std::nullopt, std::nullopt}}));
    EXPECT_EQ(sessionAccountingStarts_, 1);
    EXPECT_NE(configuration->sessionID(), initialSession);
    EXPECT_EQ(scheduler_.pendingCount(), 0u);
}

TEST_F(TelemetryFacadeTest, SessionFlagsChooseWhatANewSessionIdStarts)
{
    struct Case {
        bool sendNewSessionBeganSignal;
        bool sessionStatsEnabled;
        std::size_t expectedSignals;
        int expectedAccountingStarts;
    };
    for (const Case& testCase :
         {Case{true, true, 1, 1}, Case{false, true, 0, 1}, Case{true, false, 1, 0}, Case{false, false, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "signal " << testCase.sendNewSessionBeganSignal << ", stats "
                                        << testCase.sessionStatsEnabled);
        sessionAccountingStarts_ = 0;
        auto configuration = makeConfiguration();
        configuration->sendNewSessionBeganSignal = testCase.sendNewSessionBeganSignal;
        configuration->sessionStatsEnabled = testCase.sessionStatsEnabled;
        const auto recorder = start(configuration);

        configuration->setSessionID(QUuid::createUuid());

        EXPECT_EQ(recorder->recordedSignals().size(), testCase.expectedSignals);
        EXPECT_EQ(sessionAccountingStarts_, testCase.expectedAccountingStarts);
        scheduler_.advance(1s);
    }
}

TEST_F(TelemetryFacadeTest, SessionStartScheduledByATerminatedManagerDoesNothing)
{
    const auto recorder = start(makeConfiguration());
    Telemetry::terminate();

    scheduler_.advance(1s);

    EXPECT_TRUE(recorder->recordedSignals().empty());
    EXPECT_EQ(sessionAccountingStarts_, 0);
    EXPECT_FALSE(TelemetryManager::isInitialized());
}

TEST_F(TelemetryFacadeTest, InitializeReplacesTheEarlierManager)
{
    const auto first = start(makeConfiguration("first-app"));
    const auto second = start(makeConfiguration("second-app"));

    Telemetry::signal("opened");

    EXPECT_TRUE(first->recordedSignals().empty());
    EXPECT_EQ(second->recordedSignals().size(), 1u);
    EXPECT_EQ(TelemetryManager::shared()->configuration()->telemetryAppID(), "second-app");
}

TEST_F(TelemetryFacadeTest, ImmediateSyncIsThrottledToOnePerTenSeconds)
{
    auto configuration = makeConfiguration();
    const auto counter = std::make_shared<CountingSignalManager>(configuration);
    start(configuration, counter);
    const QDateTime first = now_;
    const auto requestAt = [&](int secondsAfterFirst) {
        now_ = first.addSecs(secondsAfterFirst);
        Telemetry::requestImmediateSync();
        scheduler_.advance(50ms);
        QThreadPool::globalInstance()->waitForDone();
    };

    requestAt(0);
    EXPECT_EQ(counter->attempts, 1);
    requestAt(3);
    EXPECT_EQ(counter->attempts, 1);
    requestAt(10);
    EXPECT_EQ(counter->attempts, 1) << "exactly 10 seconds is not more than 10 seconds";
    requestAt(11);
    EXPECT_EQ(counter->attempts, 2);
}

TEST_F(TelemetryFacadeTest, ImmediateSyncWaitsFiftyMillisecondsAndSkipsAGoneManager)
{
    auto configuration = makeConfiguration();
    const auto counter = std::make_shared<CountingSignalManager>(configuration);
    start(configuration, counter);

    Telemetry::requestImmediateSync();
    scheduler_.advance(49ms);
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(counter->attempts, 0);

    Telemetry::terminate();
    scheduler_.advance(1ms);
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(counter->attempts, 0);
}

TEST_F(TelemetryFacadeTest, CustomDefaultsExistOnlyWhileAManagerIsStored)
{
    EXPECT_EQ(Telemetry::customDefaults(), nullptr);

    // sha256("abc") ends in ...ff61f20015ad.
    start(makeConfiguration("abc"));
    const auto suite = Telemetry::customDefaults();
    ASSERT_NE(suite, nullptr);
    EXPECT_EQ(QFileInfo(suite->fileName()).completeBaseName(), "app.vantory.stats.ff61f20015ad");
    EXPECT_EQ(QFileInfo(suite->fileName()).absolutePath(), QDir(settingsFolder()).absolutePath());

    Telemetry::terminate();
    EXPECT_EQ(Telemetry::customDefaults(), nullptr);
}

TEST_F(TelemetryFacadeTest, ThePerAppSettingsFileHoldingTheUserIdentifierIsTheUsersAlone)
{
    for (const bool existedOpenToAll : {false, true}) {
        SCOPED_TRACE(existedOpenToAll);
        const std::string appID = existedOpenToAll ? "older-app" : "new-app";
        const QString file =
            QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(PerAppDefaults::suiteName(appID)))
                .fileName();
        if (existedOpenToAll) {
            std::ofstream(file.toStdString()) << "[General]\nkept=1\n";
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        start(makeConfiguration(appID));

        const auto suite = Telemetry::customDefaults();
        suite->setValue("defaultUserIdentifier", "someone");
        suite->sync();

        EXPECT_EQ(QFile::permissions(file), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        const std::string content = readFile(file.toStdString());
        EXPECT_NE(content.find("defaultUserIdentifier=someone"), std::string::npos) << content;
        EXPECT_EQ(content.find("kept=1") != std::string::npos, existedOpenToAll) << content;
    }
}

TEST_F(TelemetryFacadeTest, DefaultUserIdentifierIsStoredOnceAndYieldsToTheDefaultUser)
{
    auto configuration = makeConfiguration("user-app");
    configuration->setDefaultUser(std::nullopt);
    const auto recorder = start(configuration);

    const std::string generated = recorder->defaultUserIdentifier();
    EXPECT_FALSE(QUuid::fromString(QString::fromStdString(generated)).isNull());
    EXPECT_EQ(recorder->defaultUserIdentifier(), generated);
    EXPECT_EQ(Telemetry::customDefaults()->value("defaultUserIdentifier").toString().toStdString(), generated);
    EXPECT_EQ(TelemetryManager::shared()->hashedDefaultUser(), CryptoHashing::sha256(generated, ""));

    Telemetry::updateDefaultUserID("chosen-user");
    EXPECT_EQ(configuration->defaultUser(), "chosen-user");
    EXPECT_EQ(recorder->defaultUserIdentifier(), "chosen-user");
}

TEST_F(TelemetryFacadeTest, HashedDefaultUserAppendsTheSalt)
{
    auto configuration = std::make_shared<TelemetryManagerConfiguration>("salted-app", "pepper");
    configuration->setDefaultUser("user");
    start(configuration);

    EXPECT_EQ(TelemetryManager::shared()->hashedDefaultUser(), CryptoHashing::sha256("userpepper", ""));
}

TEST_F(TelemetryFacadeTest, ForegroundAfterFiveMinutesInBackgroundStartsANewSession)
{
    auto configuration = makeConfiguration();
    const auto recorder = start(configuration);
    const auto manager = TelemetryManager::shared();

    manager->didEnterBackground();
    now_ = now_.addSecs(300);
    manager->willEnterForeground();
    EXPECT_TRUE(recorder->recordedSignals().empty());

    now_ = now_.addSecs(1);
    const QUuid before = configuration->sessionID();
    manager->willEnterForeground();
    EXPECT_EQ(recorder->recordedSignals().size(), 1u);
    EXPECT_NE(configuration->sessionID(), before);
}

TEST_F(TelemetryFacadeTest, SignalsFromManyThreadsAreAllHandedOn)
{
    const auto recorder = start(makeConfiguration());
    constexpr int threadCount = 8;
    constexpr int signalsPerThread = 200;

    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < signalsPerThread; ++i) {
                Telemetry::signal("busy", {{"index", std::to_string(i)}});
                Telemetry::updateDefaultUserID(std::to_string(i));
            }
        });
    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ(recorder->recordedSignals().size(), std::size_t(threadCount * signalsPerThread));
}

} // namespace
} // namespace vantory::test
