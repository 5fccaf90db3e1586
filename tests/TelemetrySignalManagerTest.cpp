#include "support/EventLoop.h"
#include "support/LogCapture.h"
#include "support/LoopbackListener.h"
#include "support/LoopbackServer.h"
#include "support/ManualScheduler.h"
#include "support/ResettingServer.h"
#include "support/SendTick.h"
#include "support/TempDir.h"

#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/SignalManager.h"
#include "Telemetry/Signals/PayloadEnvironment.h"
#include "Telemetry/TelemetryManagerConfiguration.h"

#include <QFile>
#include <QElapsedTimer>
#include <QTcpServer>
#include <cmath>
#include <future>
#include <thread>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace std::chrono_literals;

namespace vantory::test {
namespace {

class FixedEnricher final : public SignalEnricher {
public:
    explicit FixedEnricher(SignalParameters parameters) : parameters_(std::move(parameters)) { }
    SignalParameters enrich(const std::string&, const std::optional<std::string>&, std::optional<double>) override
    {
        return parameters_;
    }

private:
    SignalParameters parameters_;
};

// A signal manager posting to a local server, on a hand-driven send tick, with its cache
// file in a temporary folder and every log line captured.
class TelemetrySignalManagerTest : public ::testing::Test {
protected:
    std::shared_ptr<TelemetryManagerConfiguration> makeConfiguration(std::optional<QUrl> baseURL = std::nullopt,
                                                                     std::optional<std::string> namespace_ = std::nullopt)
    {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(
            "app-id", "salt", baseURL.value_or(QUrl(QString::fromStdString(server_.origin()))), std::move(namespace_));
        configuration->setDefaultUser("user");
        configuration->logHandler = log_.handler(LogLevel::debug);
        return configuration;
    }

    std::shared_ptr<SignalManager> startManager(std::shared_ptr<TelemetryManagerConfiguration> configuration)
    {
        configuration_ = configuration;
        SignalManager::Services services;
        services.scheduler = &scheduler_;
        services.clock = [this] { return now_; };
        services.cacheFilePath = cacheFile();
        services.defaultPayload = [] { return SignalParameters{{"platform", "Linux"}, {"locale", "en_US"}}; };
        services.answerWaitAtQuit = answerWaitAtQuit_;
        auto manager = SignalManager::start(std::move(configuration), std::move(services));
        EXPECT_TRUE(spinUntil([&] { return manager->hasLoadedCache(); }));
        return manager;
    }

    QString cacheFile() const { return QString::fromStdString((folder_ / "cache" / "telemetrysignalcache").string()); }

    // Hands `count` signals named type0, type1, ... over and lets the main thread build them.
    void queue(SignalManager& manager, int count, const std::string& prefix = "type")
    {
        for (int i = 0; i < count; ++i)
            manager.processSignal(prefix + std::to_string(i), {}, std::nullopt, std::nullopt, configuration_);
        QCoreApplication::sendPostedEvents();
    }

    // The signal types of one posted body, in order.
    static std::vector<std::string> typesOf(const std::string& body)
    {
        std::vector<std::string> types;
        for (const auto& record : nlohmann::json::parse(body))
            types.push_back(record.at("type").get<std::string>());
        return types;
    }

    std::vector<SignalPostBody> savedRecords() const
    {
        QFile file(cacheFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto read = SignalPostBodyCoding::fromCacheJson(file.readAll().toStdString());
        return read ? read->records : std::vector<SignalPostBody>{};
    }

    LoopbackServer server_;
    ManualScheduler scheduler_;
    QDateTime now_ = QDateTime(QDate(2025, 3, 1), QTime(14, 5, 9), Qt::UTC);
    TempDir folder_;
    std::shared_ptr<TelemetryManagerConfiguration> configuration_;
    std::chrono::milliseconds answerWaitAtQuit_ = 100ms;
    LogCapture log_;
};

TEST_F(TelemetrySignalManagerTest, ABacklogGoesOutAHundredRecordsPerTick)
{
    const auto manager = startManager(makeConfiguration());
    queue(*manager, 250);

    sendTick(scheduler_, *manager);
    EXPECT_TRUE(log_.contains(LogLevel::info, "Sending 100 signals leaving a cache of 150 signals"));
    sendTick(scheduler_, *manager);
    sendTick(scheduler_, *manager);
    sendTick(scheduler_, *manager);

    const auto received = server_.received();
    ASSERT_EQ(received.size(), 3u);
    std::vector<std::size_t> sizes;
    for (const auto& request : received)
        sizes.push_back(typesOf(request.body).size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{100, 100, 50}));
    EXPECT_EQ(typesOf(received[0].body).front(), "type0");
    EXPECT_EQ(typesOf(received[2].body).back(), "type249");
    EXPECT_EQ(received[0].path, "/v2/");
    EXPECT_EQ(received[0].contentType, "application/json");
    EXPECT_EQ(manager->cachedSignalCount(), 0u);
    EXPECT_TRUE(log_.lines(LogLevel::error).empty());
}

TEST_F(TelemetrySignalManagerTest, TheStatusDecidesWhetherABatchIsKept)
{
    struct Case {
        int status;
        bool sent;
        std::vector<std::string> errors;
    };
    const std::vector<Case> cases = {
        {200, true, {}},
        {204, true, {}},
        {299, true, {}},
        {300, false, {"invalidStatusCode(statusCode: 300)"}},
        {401, false, {"unauthorised"}},
        {403, false, {"forbidden"}},
        {413, false, {"payloadTooLarge"}},
        {500, false, {"invalidStatusCode(statusCode: 500)"}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.status);
        log_.clear();
        const auto manager = startManager(makeConfiguration());
        queue(*manager, 2, "old");
        server_.answerWith({testCase.status});
        server_.hold();

        scheduler_.advance(10s);
        queue(*manager, 1, "new");
        server_.release();
        ASSERT_TRUE(spinUntil([&] { return manager->postsInFlight() == 0; }));

        EXPECT_EQ(log_.lines(LogLevel::error), testCase.errors);
        EXPECT_EQ(manager->cachedSignalCount(), testCase.sent ? 1u : 3u);
        sendTick(scheduler_, *manager);
        const auto received = server_.received();
        const std::vector<std::string> expected = testCase.sent ? std::vector<std::string>{"new0"}
                                                                : std::vector<std::string>{"new0", "old0", "old1"};
        EXPECT_EQ(typesOf(received.back().body), expected);
    }
}

TEST(TelemetrySendOutcomeTest, OnlyASuccessStatusMeansTheBatchArrived)
{
    struct Case {
        const char* description;
        SendOutcome outcome;
        std::optional<std::string> failure;
    };
    const std::vector<Case> cases = {
        {"success", {200, std::nullopt, {}}, std::nullopt},
        {"a status wins over the error Qt adds to it",
         {500, QStringLiteral("Internal Server Error"), {}},
         "invalidStatusCode(statusCode: 500)"},
        {"transport error", {std::nullopt, QStringLiteral("Connection refused"), {}}, "Connection refused"},
        {"neither status nor error", {std::nullopt, std::nullopt, {}}, "invalidStatusCode(statusCode: 0)"},
    };
    for (const Case& testCase : cases)
        EXPECT_EQ(failureOf(testCase.outcome), testCase.failure) << testCase.description;
}

TEST_F(TelemetrySignalManagerTest, ARefusedConnectionKeepsTheBatch)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const auto manager = startManager(makeConfiguration(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port))));
    queue(*manager, 2);

    sendTick(scheduler_, *manager);

    const auto errors = log_.lines(LogLevel::error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("refused"), std::string::npos) << errors[0];
    EXPECT_EQ(manager->cachedSignalCount(), 2u);
}

TEST_F(TelemetrySignalManagerTest, TheEndpointEndsInTheVersionAndTheNamespace)
{
    struct Case {
        const char* base;
        std::optional<std::string> namespace_;
        const char* expected;
    };
    for (const Case& testCase : {
             Case{"https://ingest.example.org", std::nullopt, "https://ingest.example.org/v2/"},
             Case{"https://ingest.example.org/", std::nullopt, "https://ingest.example.org/v2/"},
             Case{"https://ingest.example.org", std::string(), "https://ingest.example.org/v2/"},
             Case{"https://ingest.example.org/", std::string("team"), "https://ingest.example.org/v2/namespace/team/"},
             Case{"https://ingest.example.org/base", std::string("team"), "https://ingest.example.org/base/v2/namespace/team/"},
         }) {
        SCOPED_TRACE(testCase.base);
        const auto url = SignalManager::getServiceUrl(QUrl(QString::fromLatin1(testCase.base)), testCase.namespace_);
        ASSERT_TRUE(url);
        EXPECT_EQ(url->toString().toStdString(), testCase.expected);
    }
    EXPECT_FALSE(SignalManager::getServiceUrl(QUrl(), std::nullopt));
}

TEST_F(TelemetrySignalManagerTest, ANamespacedBatchReachesTheNamespacedPath)
{
    const auto manager = startManager(makeConfiguration(std::nullopt, "team"));
    queue(*manager, 1);

    sendTick(scheduler_, *manager);

    ASSERT_EQ(server_.received().size(), 1u);
    EXPECT_EQ(server_.received()[0].path, "/v2/namespace/team/");
}

TEST_F(TelemetrySignalManagerTest, AnEndpointThatDoesNotParseKeepsTheBatch)
{
    const auto manager = startManager(makeConfiguration(QUrl()));
    queue(*manager, 2);

    sendTick(scheduler_, *manager);

    EXPECT_EQ(log_.lines(LogLevel::error),
              (std::vector<std::string>{"Unable to construct signal API URL for namespace nil", "invalidEndpointUrl"}));
    EXPECT_EQ(manager->cachedSignalCount(), 2u);
}

TEST_F(TelemetrySignalManagerTest, UnsentRecordsSurviveARestartThroughTheCacheFile)
{
    auto manager = startManager(makeConfiguration());
    EXPECT_EQ(log_.lines(LogLevel::info), (std::vector<std::string>{"Loading Telemetry cache from: "
                                                                    + QUrl::fromLocalFile(cacheFile()).toString().toStdString()}))
        << "no file: no loaded line";
    queue(*manager, 3);

    manager->stop();
    ASSERT_TRUE(QFile::exists(cacheFile()));
    const auto size = QFile(cacheFile()).size();
    EXPECT_TRUE(log_.contains(LogLevel::info, "Saved Telemetry cache " + std::to_string(size) + " bytes of 3 signals"));
    EXPECT_EQ(manager->cachedSignalCount(), 0u);
    const auto saved = savedRecords();
    manager.reset();
    log_.clear();

    manager = startManager(makeConfiguration());
    EXPECT_TRUE(log_.contains(LogLevel::info, "Loaded 3 signals"));
    EXPECT_FALSE(QFile::exists(cacheFile()));
    ASSERT_TRUE(spinUntil([&] { return manager->postsInFlight() == 0; }));
    ASSERT_EQ(server_.received().size(), 1u) << "the first batch goes out at start";
    EXPECT_EQ(typesOf(server_.received()[0].body), (std::vector<std::string>{"type0", "type1", "type2"}));
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].receivedAt, now_);
}

TEST_F(TelemetrySignalManagerTest, AMalformedCacheFileIsDroppedWhole)
{
    folder_.write("cache/telemetrysignalcache",
                  R"([{"receivedAt": 1, "appID": "a", "clientUser": "u", "sessionID": "S", "type": "t",)"
                  R"( "payload": {}, "isTestMode": "false"}, {"receivedAt": 2, "appID": "a"}])");

    const auto manager = startManager(makeConfiguration());

    EXPECT_EQ(manager->cachedSignalCount(), 0u);
    EXPECT_FALSE(QFile::exists(cacheFile()));
    EXPECT_EQ(log_.lines(LogLevel::info).size(), 1u) << "only the loading line";
    EXPECT_EQ(log_.lines(LogLevel::error),
              std::vector<std::string>{"Discarded the Telemetry cache file: it is not a list of signals"});
}

TEST_F(TelemetrySignalManagerTest, ARecordMergesDefaultsEnrichersAndCallParametersInThatOrder)
{
    auto configuration = makeConfiguration();
    configuration->metadataEnrichers = {
        std::make_shared<FixedEnricher>(SignalParameters{{"locale", "enricher"}, {"shared", "first"}, {"call", "enricher"}}),
        std::make_shared<FixedEnricher>(SignalParameters{{"shared", "second"}}),
    };
    configuration->setTestMode(true);
    const auto manager = startManager(configuration);

    manager->processSignal("opened", {{"call", "caller"}}, 2.5, std::nullopt, configuration);
    manager->processSignal("rated", {}, std::nullopt, std::string("someone"), configuration);
    QCoreApplication::sendPostedEvents();
    manager->stop();

    const auto records = savedRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].payload,
              (SignalParameters{{"platform", "Linux"}, {"locale", "enricher"}, {"shared", "second"}, {"call", "caller"}}));
    EXPECT_EQ(records[0].type, "opened");
    EXPECT_EQ(records[0].floatValue, 2.5);
    EXPECT_EQ(records[0].appID, "app-id");
    EXPECT_EQ(records[0].isTestMode, "true");
    EXPECT_EQ(records[0].clientUser, CryptoHashing::sha256("usersalt", ""));
    EXPECT_EQ(records[1].clientUser, CryptoHashing::sha256("someonesalt", ""));
    const std::string session = configuration->sessionID().toString(QUuid::WithoutBraces).toStdString();
    EXPECT_EQ(records[0].sessionID, QString::fromStdString(session).toUpper().toStdString());
    EXPECT_NE(records[0].sessionID, session) << "upper case";
}

TEST_F(TelemetrySignalManagerTest, ANonFiniteFloatValueIsLeftOutWithAnErrorAndTheBatchStillGoesOut)
{
    auto configuration = makeConfiguration();
    const auto manager = startManager(configuration);

    manager->processSignal("nan", {}, std::nan(""), std::nullopt, configuration);
    manager->processSignal("infinite", {}, INFINITY, std::nullopt, configuration);
    QCoreApplication::sendPostedEvents();
    sendTick(scheduler_, *manager);

    EXPECT_EQ(log_.lines(LogLevel::error).size(), 2u);
    ASSERT_EQ(server_.received().size(), 1u);
    const auto body = nlohmann::json::parse(server_.received()[0].body);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_FALSE(body[0].contains("floatValue"));
    EXPECT_FALSE(body[1].contains("floatValue"));
    EXPECT_EQ(manager->cachedSignalCount(), 0u);
}

TEST_F(TelemetrySignalManagerTest, StoppingBringsABatchInFlightBackIntoTheSavedCache)
{
    QTcpServer silent; // accepts the connection and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const auto manager = startManager(makeConfiguration(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()))));
    queue(*manager, 2);
    scheduler_.advance(10s);
    ASSERT_TRUE(spinUntil([&] { return silent.hasPendingConnections(); }));
    EXPECT_EQ(manager->cachedSignalCount(), 0u);

    manager->stop();

    EXPECT_EQ(savedRecords().size(), 2u);
}

TEST_F(TelemetrySignalManagerTest, AResetConnectionIsNotPostedAgainAndKeepsTheBatch)
{
    ResettingServer resetting;
    const auto manager = startManager(makeConfiguration(QUrl(QString::fromStdString(resetting.origin()))));
    queue(*manager, 2);

    sendTick(scheduler_, *manager);

    EXPECT_EQ(resetting.requests(), 1) << "the network layer must not send it again by itself";
    EXPECT_EQ(manager->cachedSignalCount(), 2u);
    EXPECT_EQ(log_.lines(LogLevel::error).size(), 1u);
}

TEST_F(TelemetrySignalManagerTest, RequestsNameTheAppAndCarryNoCookieAndNoLanguageOfTheUser)
{
    server_.setCookie("visitor=42; Path=/");
    const auto manager = startManager(makeConfiguration());
    for (int post = 0; post < 2; ++post) {
        queue(*manager, 1);
        sendTick(scheduler_, *manager);
    }

    const auto received = server_.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].header("Cookie"), std::nullopt) << "the service's cookie is neither kept nor sent back";
    const std::string appAndVersion =
        QCoreApplication::applicationName().toStdString() + "/" + DeviceFacts::current().appVersion;
    ASSERT_FALSE(DeviceFacts::current().appVersion.empty());
    EXPECT_EQ(received[0].header("User-Agent"), appAndVersion);
    EXPECT_EQ(received[0].header("Accept-Language"), "*") << "Qt would send the user's languages";
}

TEST_F(TelemetrySignalManagerTest, OnlyTheStartOfALargeAnswerIsRead)
{
    constexpr std::size_t answerBytes = 256 * 1024 * 1024;
    server_.answerWithBodyOf(answerBytes);
    const auto manager = startManager(makeConfiguration());
    queue(*manager, 1);

    sendTick(scheduler_, *manager);

    EXPECT_EQ(manager->cachedSignalCount(), 0u) << "a 200 is a success, however long its body";
    EXPECT_LT(server_.answerBytesSent(), answerBytes / 8) << "the rest of the body is refused";
    EXPECT_TRUE(log_.contains(LogLevel::debug, std::string(maximumAnswerBytesRead, 'a')));
    EXPECT_TRUE(log_.lines(LogLevel::error).empty());
}

TEST_F(TelemetrySignalManagerTest, AtQuitTheAnswerToABatchTheServiceReadIsAwaited)
{
    struct Case {
        const char* description;
        std::chrono::milliseconds wait;
        bool answeredDuringTheQuit;
        std::size_t saved;
    };
    for (const Case& testCase : {Case{"answered in time: it arrived, so it is not kept", 20s, true, 0},
                                 Case{"no answer in time: it may not have arrived, so it is kept", 50ms, false, 2}}) {
        SCOPED_TRACE(testCase.description);
        answerWaitAtQuit_ = testCase.wait;
        log_.clear();
        const auto manager = startManager(makeConfiguration());
        queue(*manager, 2);
        server_.hold();
        scheduler_.advance(10s);
        const auto before = server_.received().size();
        ASSERT_TRUE(spinUntil([&] { return server_.received().size() == before + 1; }));
        // The service answers once the quit has begun, or only once it is over (at the latest
        // after 20 s, so that a quit waiting for ever fails rather than hangs).
        std::promise<void> quitOver;
        std::thread answerer([this, &testCase, over = quitOver.get_future()] {
            if (testCase.answeredDuringTheQuit) {
                const auto giveUp = std::chrono::steady_clock::now() + 20s;
                while (!log_.contains(LogLevel::debug, "appWillTerminate()") && std::chrono::steady_clock::now() < giveUp)
                    std::this_thread::yield();
            } else {
                over.wait_for(20s);
            }
            server_.release();
        });

        manager->stop();

        quitOver.set_value();
        answerer.join();
        EXPECT_EQ(savedRecords().size(), testCase.saved);
        EXPECT_EQ(manager->postsInFlight(), 0);
    }
}

TEST_F(TelemetrySignalManagerTest, AtQuitABatchNotYetSentWholeIsKeptWithoutWaitingForAnAnswer)
{
    // A server that never reads: a body larger than the connection's buffers stays half sent.
    const LoopbackListener neverReading(4096);
    answerWaitAtQuit_ = 1h;
    const auto configuration = makeConfiguration(QUrl(QString::fromStdString(neverReading.origin())));
    const auto manager = startManager(configuration);
    const std::string large(100 * 1024, 'x');
    for (int i = 0; i < 100; ++i)
        manager->processSignal("large", {{"large", large}}, std::nullopt, std::nullopt, configuration);
    QCoreApplication::sendPostedEvents();
    scheduler_.advance(10s);
    ASSERT_TRUE(spinUntil([&] { return neverReading.hasPendingConnection(); }));

    QElapsedTimer stopping;
    stopping.start();
    manager->stop();

    EXPECT_LT(stopping.elapsed(), 30'000) << "no wait for an answer, nor for the 60-second time-out";
    EXPECT_EQ(savedRecords().size(), 100u);
}

} // namespace
} // namespace vantory::test
