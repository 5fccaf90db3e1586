#include "support/ManualScheduler.h"
#include "support/TempDir.h"

#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/Sessions/SessionManager.h"

#include <QSettings>
#include <functional>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantory::test {
namespace {

constexpr qint64 day = 86'400;

// A session manager on a hand-driven clock and tick, its suite in a temporary file.
class TelemetrySessionManagerTest : public ::testing::Test {
protected:
    std::shared_ptr<SessionManager> create(bool withSuite = true)
    {
        SessionManager::Services services;
        if (withSuite)
            services.suite = suite_;
        services.scheduler = &scheduler_;
        services.clock = [this] { return now_; };
        services.timeZone = [this] { return zone_; };
        services.activity = &activity_;
        services.announceNewInstall = [this](const std::string& date) { announcements_.push_back(date); };
        return SessionManager::create(std::move(services));
    }

    // Moves the clock and the tick on together.
    void pass(std::chrono::milliseconds span)
    {
        const auto step = 250ms;
        for (auto done = 0ms; done < span; done += step) {
            now_ = now_.addMSecs(std::min(step, span - done).count());
            scheduler_.advance(std::min(step, span - done));
        }
    }

    void storeSessions(const std::vector<StoredSession>& sessions)
    {
        suite_->setValue("recentSessions", QByteArray::fromStdString(StoredSessionCoding::json(sessions)));
    }

    std::vector<StoredSession> storedSessions() const
    {
        return StoredSessionCoding::fromJson(suite_->value("recentSessions").toByteArray().toStdString())
            .value_or(std::vector<StoredSession>{});
    }

    StoredSession session(qint64 daysAgo, long long seconds) const { return {now_.addSecs(-daysAgo * day), seconds}; }

    TempDir folder_;
    std::shared_ptr<QSettings> suite_ = std::make_shared<QSettings>(QString::fromStdString((folder_ / "suite.ini").string()),
                                                                    QSettings::IniFormat);
    ManualScheduler scheduler_;
    ApplicationActivity activity_;
    QDateTime now_ = QDateTime(QDate(2026, 3, 9), QTime(10, 0), Qt::UTC);
    QTimeZone zone_ = QTimeZone::utc();
    std::vector<std::string> announcements_;
};

TEST_F(TelemetrySessionManagerTest, ActiveSecondsAreStoredCutToWholeSecondsInOneEntry)
{
    const auto sessions = create();
    sessions->startNewSession();

    pass(900ms);
    EXPECT_TRUE(sessions->recentSessions().empty()) << "under a second counts nothing";
    EXPECT_TRUE(storedSessions().empty());
    pass(1600ms);
    EXPECT_EQ(sessions->recentSessions(), (std::vector<StoredSession>{{now_.addMSecs(-2500), 2}}));
    pass(3s);
    Q_EMIT activity_.becameInactive();
    ASSERT_EQ(storedSessions().size(), 1u);
    EXPECT_EQ(storedSessions()[0].durationInSeconds, 5);
}

TEST_F(TelemetrySessionManagerTest, TheDurationIsCountedEachSecondAndStoredAtMostEveryThirtySeconds)
{
    const auto sessions = create();
    sessions->startNewSession();

    pass(10s);
    EXPECT_EQ(sessions->recentSessions()[0].durationInSeconds, 10);
    EXPECT_EQ(storedSessions()[0].durationInSeconds, 1) << "stored at the first whole second only";
    pass(20s);
    EXPECT_EQ(storedSessions()[0].durationInSeconds, 1);
    pass(1s);
    EXPECT_EQ(storedSessions()[0].durationInSeconds, 31);
    EXPECT_EQ(sessions->statistics().averageSessionSeconds, 31) << "what signals report comes from memory";
}

TEST_F(TelemetrySessionManagerTest, BecomingInactiveSleepingOrStoppingStoresTheDurationAtOnce)
{
    struct Case {
        const char* event;
        std::function<void(SessionManager&)> happen;
        long long laterInMemory;
    };
    const std::vector<Case> cases = {
        {"inactive", [this](SessionManager&) { Q_EMIT activity_.becameInactive(); }, 10},
        {"sleep", [this](SessionManager&) { Q_EMIT activity_.willSleep(); }, 12},
        {"quit", [](SessionManager& sessions) { sessions.stop(); }, 10},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.event);
        suite_->clear();
        const auto sessions = create();
        sessions->startNewSession();
        pass(10500ms);

        testCase.happen(*sessions);

        EXPECT_EQ(storedSessions()[0].durationInSeconds, 10);
        EXPECT_NE(readFile(suite_->fileName().toStdString()).find("recentSessions"), std::string::npos)
            << "the file itself is written";
        pass(2s);
        EXPECT_EQ(sessions->recentSessions()[0].durationInSeconds, testCase.laterInMemory) << "only sleep keeps counting";
        sessions->stop();
    }
}

TEST_F(TelemetrySessionManagerTest, GoingInactivePartWayThroughATickCountsTheWholeActiveSpan)
{
    const auto sessions = create();
    sessions->startNewSession();

    for (int cycle = 0; cycle < 4; ++cycle) {
        pass(1500ms);
        Q_EMIT activity_.becameInactive();
        pass(5s);
        Q_EMIT activity_.becameActive();
    }

    ASSERT_EQ(storedSessions().size(), 1u);
    EXPECT_EQ(storedSessions()[0].durationInSeconds, 6);
}

TEST_F(TelemetrySessionManagerTest, InactiveTimeIsNotCountedAndActivationWithoutASessionIsIgnored)
{
    const auto sessions = create();
    Q_EMIT activity_.becameActive();
    EXPECT_EQ(scheduler_.pendingCount(), 0u) << "no tick without a session";
    pass(5s);
    EXPECT_TRUE(storedSessions().empty());

    sessions->startNewSession();
    pass(2s);
    Q_EMIT activity_.becameInactive();
    pass(60s);
    Q_EMIT activity_.becameActive();
    pass(3s);

    ASSERT_EQ(sessions->recentSessions().size(), 1u);
    EXPECT_EQ(sessions->recentSessions()[0].durationInSeconds, 5);
}

TEST_F(TelemetrySessionManagerTest, AveragesLeaveOutTheRunningSession)
{
    struct Case {
        std::vector<long long> durations;
        int average;
        std::optional<long long> previous;
    };
    for (const Case& testCase :
         {Case{{}, -1, std::nullopt}, Case{{7}, 7, std::nullopt}, Case{{10, 20, 99}, 15, 20}, Case{{10, 11, 0}, 10, 11}}) {
        SCOPED_TRACE(testCase.durations.size());
        std::vector<StoredSession> stored;
        for (std::size_t i = 0; i < testCase.durations.size(); ++i)
            stored.push_back(session(static_cast<qint64>(testCase.durations.size() - i), testCase.durations[i]));
        storeSessions(stored);

        const auto sessions = create();

        EXPECT_EQ(sessions->averageSessionSeconds(), testCase.average);
        EXPECT_EQ(sessions->previousSessionSeconds(), testCase.previous);
        EXPECT_EQ(sessions->statistics().previousSessionSeconds, testCase.previous);
    }
}

TEST_F(TelemetrySessionManagerTest, SessionsOfNinetyDaysAgoArePrunedAndCountedOnce)
{
    suite_->setValue("deletedSessionsCount", 4);
    storeSessions(
        {session(200, 1), session(91, 2), {now_.addSecs(-90 * day), 3}, {now_.addSecs(-90 * day + 1), 4}, session(1, 5)});

    const auto sessions = create();

    EXPECT_EQ(sessions->recentSessions().size(), 2u);
    EXPECT_EQ(suite_->value("deletedSessionsCount").toInt(), 7);
    EXPECT_EQ(storedSessions().size(), 2u) << "the pruned list is written with the count";
    EXPECT_EQ(sessions->totalSessionsCount(), 9);

    create();
    EXPECT_EQ(suite_->value("deletedSessionsCount").toInt(), 7) << "a second start prunes nothing more";
}

TEST_F(TelemetrySessionManagerTest, EachDayOfUseIsListedOnceInARow)
{
    create();
    create();
    EXPECT_EQ(suite_->value("distinctDaysUsed").toStringList(), QStringList{"2026-03-09"});
    suite_->sync();
    QSettings reread(suite_->fileName(), QSettings::IniFormat);
    EXPECT_EQ(reread.value("distinctDaysUsed").toStringList(), QStringList{"2026-03-09"}) << "a list of one from the file";

    now_ = now_.addSecs(day);
    create();
    now_ = now_.addSecs(-day);
    create();
    EXPECT_EQ(suite_->value("distinctDaysUsed").toStringList(), (QStringList{"2026-03-09", "2026-03-10", "2026-03-09"}));
    EXPECT_EQ(create()->statistics().distinctDaysUsed, 3);
}

TEST_F(TelemetrySessionManagerTest, AListOfOneDayWrittenAsPlainTextReadsBackAsAList)
{
    // How the settings file stores a list of one: no type, just the text.
    const auto file = folder_.write("plain.ini", "[General]\ndistinctDaysUsed=2026-03-08\n");
    suite_ = std::make_shared<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat);

    create();

    EXPECT_EQ(suite_->value("distinctDaysUsed").toStringList(), (QStringList{"2026-03-08", "2026-03-09"}));
}

TEST_F(TelemetrySessionManagerTest, DaysAreCountedInTheLocalZoneAndTheLastMonthFromUtc)
{
    zone_ = QTimeZone(QByteArray("Pacific/Auckland"));
    now_ = QDateTime(QDate(2026, 3, 9), QTime(20, 0), Qt::UTC); // 10 March, 09:00 in Auckland
    suite_->setValue("distinctDaysUsed", QStringList{"2026-02-06", "2026-02-07", "2026-02-08"});

    const auto sessions = create();

    EXPECT_EQ(suite_->value("distinctDaysUsed").toStringList().last(), "2026-03-10");
    EXPECT_EQ(sessions->distinctDaysUsedLastMonthCount(), 3) << "cutoff 2026-02-07";
}

TEST_F(TelemetrySessionManagerTest, TheFirstSessionEverAnnouncesANewInstall)
{
    auto sessions = create();
    sessions->startNewSession();
    EXPECT_EQ(announcements_, (std::vector<std::string>{"2026-03-09"}));
    EXPECT_EQ(suite_->value("firstSessionDate").toString(), "2026-03-09");
    pass(2s);

    now_ = now_.addSecs(day);
    sessions = create();
    sessions->startNewSession();
    EXPECT_EQ(announcements_.size(), 1u);
    EXPECT_EQ(sessions->firstSessionDate(), "2026-03-09");

    now_ = now_.addSecs(91 * day);
    sessions = create();
    sessions->startNewSession();
    EXPECT_EQ(announcements_.size(), 2u) << "after 90 days unused the list is empty again";
    EXPECT_EQ(suite_->value("firstSessionDate").toString(), "2026-06-09");
}

TEST_F(TelemetrySessionManagerTest, WithoutASuiteReadsGiveTheirFallbacks)
{
    const auto sessions = create(false);
    sessions->startNewSession();
    pass(2s);

    const auto statistics = sessions->statistics();
    EXPECT_EQ(statistics.firstSessionDate, "2026-03-09");
    EXPECT_EQ(statistics.totalSessionsCount, 1);
    EXPECT_EQ(statistics.distinctDaysUsed, 0);
    EXPECT_EQ(statistics.averageSessionSeconds, 2);
    EXPECT_TRUE(suite_->allKeys().isEmpty());
}

TEST_F(TelemetrySessionManagerTest, StoredStartsWithAFractionDecodeAndAreWrittenBackWhole)
{
    const auto decoded = StoredSessionCoding::fromJson(R"([{"startedAt": 1773050400.75, "durationInSeconds": 12}])");
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 1u);
    EXPECT_EQ((*decoded)[0].startedAt.toMSecsSinceEpoch(), 1773050400750);
    EXPECT_EQ(StoredSessionCoding::json(*decoded), R"([{"durationInSeconds":12,"startedAt":1773050400}])");
    EXPECT_FALSE(StoredSessionCoding::fromJson(R"([{"startedAt": "yesterday", "durationInSeconds": 1}])"));
    EXPECT_FALSE(StoredSessionCoding::fromJson("not json"));
}

} // namespace
} // namespace vantory::test
