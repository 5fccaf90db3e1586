#include "Telemetry/Sessions/SessionManager.h"

#include <QCoreApplication>
#include <chrono>

namespace vantory {

namespace {

using namespace std::chrono_literals;

constexpr qint64 retentionSeconds = 7'776'000; // 90 days
constexpr qint64 lastMonthSeconds = 2'592'000; // 30 days
// Each write rewrites the whole settings file.
constexpr qint64 sessionsWriteIntervalMs = 30'000;

constexpr const char* recentSessionsKey = "recentSessions";
constexpr const char* deletedSessionsCountKey = "deletedSessionsCount";
constexpr const char* firstSessionDateKey = "firstSessionDate";
constexpr const char* distinctDaysUsedKey = "distinctDaysUsed";

QString dateText(const QDateTime& moment, const QTimeZone& zone)
{
    return moment.toTimeZone(zone).date().toString(Qt::ISODate);
}

} // namespace

int countISODatesOnOrAfter(const QStringList& dates, const QString& cutoff)
{
    return static_cast<int>(std::count_if(dates.begin(), dates.end(), [&](const QString& date) { return date >= cutoff; }));
}

std::shared_ptr<SessionManager> SessionManager::create(Services services)
{
    std::shared_ptr<SessionManager> manager(new SessionManager(std::move(services)));
    manager->loadAndPruneSessions();
    manager->updateDistinctDaysUsed();
    manager->activity_.follow(manager->services_.activity, manager->weak_from_this());
    if (auto* application = QCoreApplication::instance()) {
        manager->quitConnection_ = QObject::connect(application, &QCoreApplication::aboutToQuit,
                                                    [weak = manager->weak_from_this()] {
                                                        if (auto self = weak.lock())
                                                            self->stop();
                                                    });
    }
    return manager;
}

SessionManager::SessionManager(Services services) : services_(std::move(services))
{
}

SessionManager::~SessionManager()
{
    QObject::disconnect(quitConnection_);
}

void SessionManager::loadAndPruneSessions()
{
    if (!services_.suite)
        return;
    const QVariant stored = services_.suite->value(recentSessionsKey);
    if (!stored.isValid())
        return;
    auto sessions = StoredSessionCoding::fromJson(stored.toByteArray().toStdString());
    if (!sessions)
        return;

    const QDateTime cutoff = services_.clock().addSecs(-retentionSeconds);
    std::vector<StoredSession> kept;
    for (auto& session : *sessions) {
        if (session.startedAt > cutoff)
            kept.push_back(std::move(session));
    }
    const auto dropped = static_cast<long long>(sessions->size() - kept.size());
    recentSessions_ = std::move(kept);
    // The pruned list and the count go to the suite together, so a pruned session is
    // never counted twice.
    services_.suite->setValue(deletedSessionsCountKey, deletedSessionsCount() + dropped);
    writeSessions();
}

void SessionManager::updateDistinctDaysUsed()
{
    if (!services_.suite)
        return;
    const QString today = QString::fromStdString(this->today());
    QStringList days = distinctDaysUsed();
    if (!days.isEmpty() && days.last() == today)
        return;
    days.append(today);
    services_.suite->setValue(distinctDaysUsedKey, days);
}

void SessionManager::startNewSession()
{
    if (stopped_)
        return;
    stopSessionTimer();
    if (recentSessions_.empty()) {
        const std::string date = today();
        if (services_.suite)
            services_.suite->setValue(firstSessionDateKey, QString::fromStdString(date));
        if (services_.announceNewInstall)
            services_.announceNewInstall(date);
    }
    currentSessionStartedAt_ = services_.clock();
    currentSessionDuration_ = 0;
    updateSessionDuration();
    startSessionTimer();
}

void SessionManager::stop()
{
    storeSessionDurationNow();
    stopSessionTimer();
    stopped_ = true;
}

void SessionManager::handleDidEnterBackground()
{
    if (!currentSessionStartedAt_ || stopped_)
        return;
    updateSessionDuration(Write::now);
    stopSessionTimer();
}

void SessionManager::handleWillSleep()
{
    storeSessionDurationNow();
}

void SessionManager::storeSessionDurationNow()
{
    if (!currentSessionStartedAt_ || stopped_)
        return;
    // While inactive there is no time to add, and the last update must stay unset.
    if (sessionDurationLastUpdatedAt_)
        updateSessionDuration(Write::now);
    else
        persistCurrentSessionIfNeeded(Write::now);
}

void SessionManager::handleWillEnterForeground()
{
    // No session yet: there is nothing to resume.
    if (!currentSessionStartedAt_ || stopped_)
        return;
    updateSessionDuration();
    stopSessionTimer();
    sessionDurationLastUpdatedAt_ = services_.clock();
    startSessionTimer();
}

void SessionManager::updateSessionDuration(Write write)
{
    const QDateTime now = services_.clock();
    if (sessionDurationLastUpdatedAt_)
        currentSessionDuration_ += static_cast<double>(sessionDurationLastUpdatedAt_->msecsTo(now)) / 1000.0;
    sessionDurationLastUpdatedAt_ = now;
    persistCurrentSessionIfNeeded(write);
}

void SessionManager::persistCurrentSessionIfNeeded(Write write)
{
    if (currentSessionDuration_ < 1.0 || !currentSessionStartedAt_)
        return;
    const auto seconds = static_cast<long long>(currentSessionDuration_);
    const auto running = std::find_if(recentSessions_.rbegin(), recentSessions_.rend(), [&](const StoredSession& session) {
        return session.startedAt == *currentSessionStartedAt_;
    });
    if (running != recentSessions_.rend())
        running->durationInSeconds = seconds;
    else
        recentSessions_.push_back({*currentSessionStartedAt_, seconds});

    const bool due = !sessionsWrittenAt_ || sessionsWrittenAt_->msecsTo(services_.clock()) >= sessionsWriteIntervalMs;
    if (write == Write::whenDue && !due)
        return;
    writeSessions();
    // The process may end or the system sleep before the event loop would save the file.
    if (write == Write::now && services_.suite)
        services_.suite->sync();
}

void SessionManager::writeSessions()
{
    if (!services_.suite)
        return;
    services_.suite->setValue(recentSessionsKey, QByteArray::fromStdString(StoredSessionCoding::json(recentSessions_)));
    sessionsWrittenAt_ = services_.clock();
}

void SessionManager::startSessionTimer()
{
    const unsigned generation = ++timerGeneration_;
    std::weak_ptr<SessionManager> weak = weak_from_this();
    services_.scheduler->post(1s, QCoreApplication::instance(), [weak, generation] {
        auto self = weak.lock();
        // A stop or a newer start moves the generation on and retires this tick.
        if (!self || self->timerGeneration_ != generation)
            return;
        self->updateSessionDuration();
        self->startSessionTimer();
    });
}

void SessionManager::stopSessionTimer()
{
    ++timerGeneration_;
    sessionDurationLastUpdatedAt_.reset();
}

// A day used is the user's own calendar day, so it is taken in the user's zone; only the
// last-month cut-off (lastMonthCount) is a UTC date.
std::string SessionManager::today() const
{
    return dateText(services_.clock(), services_.timeZone()).toStdString();
}

long long SessionManager::deletedSessionsCount() const
{
    return services_.suite ? services_.suite->value(deletedSessionsCountKey, 0).toLongLong() : 0;
}

std::string SessionManager::firstSessionDate() const
{
    if (services_.suite) {
        const QString stored = services_.suite->value(firstSessionDateKey).toString();
        if (!stored.isEmpty())
            return stored.toStdString();
    }
    return today();
}

QStringList SessionManager::distinctDaysUsed() const
{
    // The settings file keeps no types: a list of one reads back as plain text.
    return services_.suite ? services_.suite->value(distinctDaysUsedKey).toStringList() : QStringList();
}

int SessionManager::distinctDaysUsedLastMonthCount() const
{
    return lastMonthCount(distinctDaysUsed());
}

// The 30-day window is cut at a UTC date, as the service's other clients cut it, so that the
// figure it receives means the same from every app; against local days that can move the
// boundary day in or out by the zone's offset, which is accepted.
int SessionManager::lastMonthCount(const QStringList& days) const
{
    const QString cutoff = dateText(services_.clock().addSecs(-lastMonthSeconds), QTimeZone::utc());
    return countISODatesOnOrAfter(days, cutoff);
}

int SessionManager::totalSessionsCount() const
{
    return static_cast<int>(static_cast<long long>(recentSessions_.size()) + deletedSessionsCount());
}

int SessionManager::averageSessionSeconds() const
{
    if (recentSessions_.empty())
        return -1;
    if (recentSessions_.size() == 1)
        return static_cast<int>(recentSessions_.front().durationInSeconds);
    // The last one is still running and does not count.
    long long sum = 0;
    for (std::size_t i = 0; i + 1 < recentSessions_.size(); ++i)
        sum += recentSessions_[i].durationInSeconds;
    return static_cast<int>(sum / static_cast<long long>(recentSessions_.size() - 1));
}

std::optional<long long> SessionManager::previousSessionSeconds() const
{
    if (recentSessions_.size() < 2)
        return std::nullopt;
    return recentSessions_[recentSessions_.size() - 2].durationInSeconds;
}

UsageStatistics SessionManager::statistics() const
{
    const QStringList days = distinctDaysUsed();
    return {firstSessionDate(),   averageSessionSeconds(), static_cast<int>(days.size()),
            lastMonthCount(days), totalSessionsCount(),    previousSessionSeconds()};
}

} // namespace vantory
