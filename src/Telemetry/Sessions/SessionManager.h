#pragma once

#include "Platform/Scheduler.h"
#include "Telemetry/ActivitySubscription.h"
#include "Telemetry/Sessions/StoredSession.h"
#include "Telemetry/Sessions/UsageStatistics.h"

#include <QDateTime>
#include <QSettings>
#include <QStringList>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// Keeps the usage history in the per-app defaults suite: the sessions of the last 90
// days with their active seconds, how many older ones were pruned, the days the program
// was used and the first session's date. The running session's duration grows on a
// 1-second tick while the application is active; the suite gets it at most every 30
// seconds, and at once when the application becomes inactive, the system sleeps or the
// session manager stops (at quit). Lives on the main thread.
class SessionManager : public std::enable_shared_from_this<SessionManager> {
public:
    struct Services {
        // None: every read gives its fallback and every write is skipped.
        std::shared_ptr<QSettings> suite;
        Scheduler* scheduler = nullptr;
        std::function<QDateTime()> clock;
        std::function<QTimeZone()> timeZone;
        // May be none: then the session is never paused.
        ApplicationActivity* activity = nullptr;
        // Sends the new-install signal with the first session's date.
        std::function<void(const std::string& firstSessionDate)> announceNewInstall;
    };

    // Loads the stored sessions, prunes the old ones and records today as a day of use.
    static std::shared_ptr<SessionManager> create(Services services);

    SessionManager(const SessionManager&) = delete;
    SessionManager& operator=(const SessionManager&) = delete;
    ~SessionManager();

    void startNewSession();
    // Stores the running session's duration and stops the duration tick for good.
    void stop();

    void handleDidEnterBackground();
    void handleWillEnterForeground();
    void handleWillSleep();

    const std::vector<StoredSession>& recentSessions() const { return recentSessions_; }
    std::string firstSessionDate() const;
    QStringList distinctDaysUsed() const;
    int distinctDaysUsedLastMonthCount() const;
    int totalSessionsCount() const;
    int averageSessionSeconds() const;
    std::optional<long long> previousSessionSeconds() const;
    UsageStatistics statistics() const;

private:
    explicit SessionManager(Services services);
    void loadAndPruneSessions();
    void updateDistinctDaysUsed();
    // Whether the suite gets the duration now or only when its last write is 30 s old.
    enum class Write { whenDue, now };
    void updateSessionDuration(Write write = Write::whenDue);
    // Adds the time since the last update when the tick runs, and stores it at once.
    void storeSessionDurationNow();
    void persistCurrentSessionIfNeeded(Write write);
    void writeSessions();
    void startSessionTimer();
    void stopSessionTimer();
    std::string today() const;
    long long deletedSessionsCount() const;
    // How many of `days` fall within the last month.
    int lastMonthCount(const QStringList& days) const;

    Services services_;
    std::vector<StoredSession> recentSessions_;
    std::optional<QDateTime> currentSessionStartedAt_;
    double currentSessionDuration_ = 0;
    std::optional<QDateTime> sessionDurationLastUpdatedAt_;
    std::optional<QDateTime> sessionsWrittenAt_;
    // Ticks of an older or stopped timer see a different generation and end.
    unsigned timerGeneration_ = 0;
    bool stopped_ = false;
    ActivitySubscription activity_;
    QMetaObject::Connection quitConnection_;
};

// How many of `dates` ("yyyy-MM-dd") are `cutoff` or later; date texts sort like dates.
int countISODatesOnOrAfter(const QStringList& dates, const QString& cutoff);

} // namespace vantory
