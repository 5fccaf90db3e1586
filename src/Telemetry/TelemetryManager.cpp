#include "Telemetry/TelemetryManager.h"

#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/RecordingSignalManager.h"
#include "Telemetry/Telemetry.h"

#include <QCoreApplication>
#include <chrono>
#include <mutex>

namespace vantory {

namespace {

using namespace std::chrono_literals;

constexpr qint64 immediateSyncIntervalMs = 10'000;
constexpr qint64 backgroundSessionTimeoutSeconds = 300;

QDateTime distantPast()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

// The one stored manager of the process: reads shared, writes exclusive.
struct TelemetryManagerStorage {
    std::shared_mutex mutex;
    std::shared_ptr<TelemetryManager> manager;

    static TelemetryManagerStorage& instance()
    {
        static TelemetryManagerStorage storage;
        return storage;
    }
};

std::shared_ptr<SignalManageable> signalManagerFor(std::shared_ptr<SignalManageable> given,
                                                   const std::shared_ptr<TelemetryManagerConfiguration>& configuration)
{
    if (given)
        return given;
    return std::make_shared<RecordingSignalManager>(configuration);
}

} // namespace

TelemetryManager::TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                   TelemetryManagerDependencies dependencies)
    : signalManager_(signalManagerFor(std::move(dependencies.signalManager), configuration)),
      scheduler_(dependencies.scheduler ? dependencies.scheduler : &QtScheduler::shared()),
      clock_(dependencies.clock ? std::move(dependencies.clock) : TelemetryClock([] { return QDateTime::currentDateTimeUtc(); })),
      startSessionAccounting_(std::move(dependencies.startSessionAccounting)),
      configuration_(std::move(configuration)),
      lastTimeImmediateSyncRequested_(distantPast()),
      lastDateAppEnteredBackground_(distantPast())
{
    scheduler_->post(500ms, QCoreApplication::instance(), [] { Telemetry::generateNewSession(); });
}

std::shared_ptr<TelemetryManager> TelemetryManager::shared()
{
    auto& storage = TelemetryManagerStorage::instance();
    std::shared_lock lock(storage.mutex);
    return storage.manager;
}

bool TelemetryManager::isInitialized()
{
    return shared() != nullptr;
}

void TelemetryManager::setShared(std::shared_ptr<TelemetryManager> manager)
{
    auto& storage = TelemetryManagerStorage::instance();
    std::shared_ptr<TelemetryManager> previous;
    {
        std::unique_lock lock(storage.mutex);
        previous = std::exchange(storage.manager, std::move(manager));
    }
    // `previous` is released here, outside the lock, in case its teardown reaches the facade.
}

std::shared_ptr<TelemetryManagerConfiguration> TelemetryManager::configuration() const
{
    std::shared_lock lock(mutex_);
    return configuration_;
}

void TelemetryManager::setConfiguration(std::shared_ptr<TelemetryManagerConfiguration> configuration)
{
    std::unique_lock lock(mutex_);
    configuration_ = std::move(configuration);
}

QDateTime TelemetryManager::lastTimeImmediateSyncRequested() const
{
    std::shared_lock lock(mutex_);
    return lastTimeImmediateSyncRequested_;
}

void TelemetryManager::setLastTimeImmediateSyncRequested(QDateTime date)
{
    std::unique_lock lock(mutex_);
    lastTimeImmediateSyncRequested_ = std::move(date);
}

QDateTime TelemetryManager::lastDateAppEnteredBackground() const
{
    std::shared_lock lock(mutex_);
    return lastDateAppEnteredBackground_;
}

void TelemetryManager::setLastDateAppEnteredBackground(QDateTime date)
{
    std::unique_lock lock(mutex_);
    lastDateAppEnteredBackground_ = std::move(date);
}

bool TelemetryManager::claimImmediateSync()
{
    const QDateTime current = now();
    std::unique_lock lock(mutex_);
    if (lastTimeImmediateSyncRequested_.msecsTo(current) <= immediateSyncIntervalMs)
        return false;
    lastTimeImmediateSyncRequested_ = current;
    return true;
}

void TelemetryManager::willEnterForeground()
{
    if (lastDateAppEnteredBackground().addSecs(backgroundSessionTimeoutSeconds) < now())
        Telemetry::generateNewSession();
}

void TelemetryManager::didEnterBackground()
{
    setLastDateAppEnteredBackground(now());
}

std::string TelemetryManager::hashedDefaultUser() const
{
    return CryptoHashing::sha256(signalManager_->defaultUserIdentifier(), configuration()->salt());
}

void TelemetryManager::startSessionAccounting() const
{
    if (startSessionAccounting_)
        startSessionAccounting_();
}

void TelemetryManager::initialize(std::shared_ptr<TelemetryManagerConfiguration> configuration)
{
    Telemetry::initialize(std::move(configuration));
}

void TelemetryManager::terminate()
{
    Telemetry::terminate();
}

void TelemetryManager::send(const std::string& signalName, const SignalParameters& parameters)
{
    Telemetry::signal(signalName, parameters);
}

void TelemetryManager::send(const std::string& signalName, const std::optional<std::string>& customUserID,
                            std::optional<double> floatValue, const SignalParameters& parameters)
{
    Telemetry::signal(signalName, parameters, floatValue, customUserID);
}

void TelemetryManager::requestImmediateSync()
{
    Telemetry::requestImmediateSync();
}

void TelemetryManager::updateDefaultUser(std::optional<std::string> user)
{
    Telemetry::updateDefaultUserID(std::move(user));
}

void TelemetryManager::generateNewSession()
{
    Telemetry::generateNewSession();
}

} // namespace vantory
