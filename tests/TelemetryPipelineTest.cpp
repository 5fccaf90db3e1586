#include "support/EventLoop.h"
#include "support/LoopbackServer.h"
#include "support/SendTick.h"
#include "support/TelemetryFixture.h"

#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/Sessions/SessionManager.h"
#include "Telemetry/SignalManager.h"

#include <QFile>
#include <nlohmann/json.hpp>

using namespace std::chrono_literals;

namespace vantory::test {
namespace {

// The whole client as the application uses it: the facade, the real signal manager and
// session accounting, posting to a local server.
class TelemetryPipelineTest : public TelemetryFixture {
protected:
    std::shared_ptr<TelemetryManagerConfiguration> configuration()
    {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>("pipeline-app", std::nullopt,
                                                                             QUrl(QString::fromStdString(server_.origin())));
        configuration->logHandler = log_.handler(LogLevel::info);
        return configuration;
    }

    void startTelemetry()
    {
        TelemetryManagerDependencies dependencies;
        dependencies.scheduler = &scheduler_;
        dependencies.clock = [this] { return now_; };
        dependencies.timeZone = [] { return QTimeZone::utc(); };
        dependencies.locale = [] { return QLocale(QStringLiteral("en_US")); };
        dependencies.cacheFolder = QString::fromStdString(cacheDir_.path().string());
        dependencies.colorScheme = [] { return std::string("Light"); };
        dependencies.activity = &activity_;
        Telemetry::initialize(configuration(), std::move(dependencies));
        ASSERT_TRUE(spinUntil([this] { return signalManager().hasLoadedCache(); }));
    }

    SignalManager& signalManager() const { return static_cast<SignalManager&>(*TelemetryManager::shared()->signalManager()); }

    std::vector<nlohmann::json> postedRecords() const
    {
        std::vector<nlohmann::json> records;
        for (const auto& request : server_.received())
            for (const auto& record : nlohmann::json::parse(request.body))
                records.push_back(record);
        return records;
    }

    LoopbackServer server_;
    TempDir cacheDir_;
    ApplicationActivity activity_;
};

TEST_F(TelemetryPipelineTest, SignalsSurviveAFailedSendAndARestartAndCarryTheDefaults)
{
    startTelemetry();
    scheduler_.advance(500ms); // the first session begins
    Telemetry::signal("conversion.completed", {{"actionId", "convert_image"}, {"fileCount", "2"}});
    QCoreApplication::sendPostedEvents();
    server_.answerWith({500});
    sendTick(scheduler_, signalManager());
    EXPECT_EQ(postedRecords().size(), 3u) << "new install, session start, conversion";
    EXPECT_EQ(signalManager().cachedSignalCount(), 3u);

    Telemetry::terminate();
    startTelemetry();
    EXPECT_TRUE(log_.contains("Loaded 3 signals"));
    ASSERT_TRUE(spinUntil([this] { return signalManager().postsInFlight() == 0; }));

    const auto records = postedRecords();
    ASSERT_EQ(records.size(), 6u) << "sent again at the restart";
    const auto& conversion = records[5];
    EXPECT_EQ(conversion["type"], "conversion.completed");
    EXPECT_EQ(conversion["appID"], "pipeline-app");
    EXPECT_EQ(conversion["receivedAt"], "2025-03-01T14:05:09+0000");
    const auto& payload = conversion["payload"];
    EXPECT_EQ(payload["actionId"], "convert_image");
    EXPECT_EQ(payload["platform"], "Linux");
    EXPECT_EQ(payload["locale"], "en_US");
    EXPECT_EQ(payload["Telemetry.UserPreference.colorScheme"], "Light");
    EXPECT_EQ(payload["Telemetry.Device.screenResolutionHeight"], "N/A");
    EXPECT_EQ(payload["Telemetry.Acquisition.firstSessionDate"], "2025-03-01");
    EXPECT_EQ(payload["Telemetry.Retention.distinctDaysUsed"], "1");
    EXPECT_EQ(records[3]["type"], "Telemetry.Acquisition.newInstallDetected");
    EXPECT_EQ(records[4]["type"], "Telemetry.Session.started");
    EXPECT_EQ(signalManager().cachedSignalCount(), 0u);
}

TEST_F(TelemetryPipelineTest, AReplacedManagerSavesItsSignalsBeforeTheNextOneLoadsThem)
{
    server_.hold();
    startTelemetry();
    Telemetry::signal("first");
    Telemetry::signal("second");
    QCoreApplication::sendPostedEvents();

    startTelemetry();

    EXPECT_TRUE(log_.contains("Loaded 2 signals"));
    EXPECT_EQ(signalManager().cachedSignalCount(), 0u) << "the loaded batch went out at once";
    server_.release();
    ASSERT_TRUE(spinUntil([this] { return signalManager().postsInFlight() == 0; }));
    ASSERT_EQ(postedRecords().size(), 2u);
    EXPECT_EQ(postedRecords()[1]["type"], "second");
}

TEST_F(TelemetryPipelineTest, TerminatingSavesTheUnsentSignals)
{
    startTelemetry();
    Telemetry::signal("kept");
    QCoreApplication::sendPostedEvents();

    Telemetry::terminate();

    QFile file(SignalManager::cacheFilePath(QString::fromStdString(cacheDir_.path().string())));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto saved = SignalPostBodyCoding::fromCacheJson(file.readAll().toStdString());
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->records.size(), 1u);
    EXPECT_EQ(saved->records[0].type, "kept");
}

TEST_F(TelemetryPipelineTest, ANewSessionStartsTheManagersOwnSessionAccounting)
{
    startTelemetry();
    scheduler_.advance(500ms);
    now_ = now_.addSecs(3);
    scheduler_.advance(3s);

    const auto sessions = TelemetryManager::shared()->sessionManager()->recentSessions();
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].durationInSeconds, 3);
}

} // namespace
} // namespace vantory::test
