#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/TelemetryManagerConfiguration.h"
#include "Telemetry/TelemetryManagerDependencies.h"

#include <QDateTime>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>

namespace vantory {

class DurationSignalTracker;
class SessionManager;

// The process-wide telemetry client: a configuration and the signal manager its
// signals go to. The facade (Telemetry) stores one and works through it.
class TelemetryManager {
public:
    // Builds the manager and schedules the first session start 0.5 s later on the main thread.
    TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                     TelemetryManagerDependencies dependencies = {});

    TelemetryManager(const TelemetryManager&) = delete;
    TelemetryManager& operator=(const TelemetryManager&) = delete;

    // The stored manager, or none before initialisation and after termination.
    static std::shared_ptr<TelemetryManager> shared();
    static bool isInitialized();

    const std::shared_ptr<SignalManageable>& signalManager() const { return signalManager_; }

    std::shared_ptr<TelemetryManagerConfiguration> configuration() const;
    void setConfiguration(std::shared_ptr<TelemetryManagerConfiguration> configuration);

    QDateTime lastTimeImmediateSyncRequested() const;
    void setLastTimeImmediateSyncRequested(QDateTime date);
    QDateTime lastDateAppEnteredBackground() const;
    void setLastDateAppEnteredBackground(QDateTime date);

    // When more than 10 seconds passed since the last granted request, records now
    // and returns true; otherwise returns false. Check and update are one step.
    bool claimImmediateSync();

    // Starts a new session when the application was in the background for more than 5 minutes.
    void willEnterForeground();
    void didEnterBackground();

    // sha256 of the signal manager's default user identifier with the configuration's salt.
    std::string hashedDefaultUser() const;

    Scheduler& scheduler() const { return *scheduler_; }
    QDateTime now() const { return clock_(); }
    void startSessionAccounting() const;

    // Usage sessions and duration measurements of this manager; each manager starts clean.
    const std::shared_ptr<SessionManager>& sessionManager() const { return sessionManager_; }
    const std::shared_ptr<DurationSignalTracker>& durationTracker() const { return durationTracker_; }

    // Stops the signal manager (saving its unsent signals) and the session tick.
    void shutDown();

    // Older forms of the facade's operations; each only forwards to Telemetry.
    static void initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration);
    static void terminate();
    static void send(const std::string& signalName, const SignalParameters& parameters = {});
    static void send(const std::string& signalName, const std::optional<std::string>& customUserID,
                     std::optional<double> floatValue, const SignalParameters& parameters = {});
    static void requestImmediateSync();
    static void updateDefaultUser(std::optional<std::string> user);
    static void generateNewSession();

private:
    friend class Telemetry;
    TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                     const TelemetryManagerDependencies& resolvedDependencies, int);

    // Stores `manager` and returns the one stored before.
    static std::shared_ptr<TelemetryManager> exchangeShared(std::shared_ptr<TelemetryManager> manager);

    Scheduler* const scheduler_;
    const TelemetryClock clock_;
    const std::shared_ptr<SessionManager> sessionManager_;
    const std::shared_ptr<DurationSignalTracker> durationTracker_;
    const std::shared_ptr<SignalManageable> signalManager_;
    const std::function<void()> startSessionAccounting_;

    mutable std::shared_mutex mutex_;
    std::shared_ptr<TelemetryManagerConfiguration> configuration_;
    QDateTime lastTimeImmediateSyncRequested_;
    QDateTime lastDateAppEnteredBackground_;
};

} // namespace vantory
