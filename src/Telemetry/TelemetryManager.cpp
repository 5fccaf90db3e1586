#include "Telemetry/TelemetryManager.h"

#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/DurationSignalTracker.h"
#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/PerAppDefaults.h"
#include "Telemetry/Sessions/SessionManager.h"
#include "Telemetry/SignalManager.h"
#include "Telemetry/Signals/ColorSchemeWatcher.h"
#include "Telemetry/Signals/DefaultSignalPayload.h"
#include "Telemetry/Telemetry.h"

#include <QCoreApplication>
#include <QStandardPaths>
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

// The dependencies with every empty member replaced by its production default.
TelemetryManagerDependencies resolved(TelemetryManagerDependencies dependencies)
{
    if (!dependencies.scheduler)
        dependencies.scheduler = &QtScheduler::shared();
    if (!dependencies.clock)
        dependencies.clock = [] { return QDateTime::currentDateTimeUtc(); };
    if (!dependencies.timeZone)
        dependencies.timeZone = [] { return QTimeZone::systemTimeZone(); };
    if (!dependencies.locale)
        dependencies.locale = [] { return QLocale(); };
    if (dependencies.cacheFolder.isEmpty())
        dependencies.cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!dependencies.colorScheme)
        dependencies.colorScheme = [] { return ColorSchemeWatcher::shared().colorScheme(); };
    if (!dependencies.activity)
        dependencies.activity = ApplicationActivity::ofApplication();
    return dependencies;
}

std::shared_ptr<SessionManager> makeSessionManager(const TelemetryManagerConfiguration& configuration,
                                                   const TelemetryManagerDependencies& dependencies)
{
    SessionManager::Services services;
    services.suite = PerAppDefaults::open(configuration.telemetryAppID());
    services.scheduler = dependencies.scheduler;
    services.clock = dependencies.clock;
    services.timeZone = dependencies.timeZone;
    services.activity = dependencies.activity;
    services.announceNewInstall = [](const std::string& firstSessionDate) {
        Telemetry::internalSignal("Telemetry.Acquisition.newInstallDetected",
                                  {{"Telemetry.Acquisition.firstSessionDate", firstSessionDate}});
    };
    return SessionManager::create(std::move(services));
}

std::shared_ptr<SignalManageable> signalManagerFor(const std::shared_ptr<TelemetryManagerConfiguration>& configuration,
                                                   const TelemetryManagerDependencies& dependencies,
                                                   std::shared_ptr<SessionManager> sessions)
{
    if (dependencies.signalManager)
        return dependencies.signalManager;
    SignalManager::Services services;
    services.scheduler = dependencies.scheduler;
    services.clock = dependencies.clock;
    services.cacheFilePath = SignalManager::cacheFilePath(dependencies.cacheFolder);
    services.defaultPayload = [dependencies, sessions] {
        const auto environment = PayloadEnvironment::current(dependencies.clock(), dependencies.timeZone(), dependencies.locale(),
                                                             dependencies.colorScheme());
        return DefaultSignalPayload::parameters(environment, sessions->statistics());
    };
    return SignalManager::start(configuration, std::move(services));
}

// Runs on the main thread, where the session tick lives.
std::function<void()> sessionAccountingFor(const TelemetryManagerDependencies& dependencies,
                                           const std::shared_ptr<SessionManager>& sessions)
{
    if (dependencies.startSessionAccounting)
        return dependencies.startSessionAccounting;
    return [weak = std::weak_ptr<SessionManager>(sessions)] {
        auto start = [weak] {
            if (auto sessions = weak.lock())
                sessions->startNewSession();
        };
        if (auto* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, start);
        else
            start();
    };
}

} // namespace

TelemetryManager::TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                   TelemetryManagerDependencies given)
    : TelemetryManager(std::move(configuration), resolved(std::move(given)), 0)
{
}

TelemetryManager::TelemetryManager(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                   const TelemetryManagerDependencies& dependencies, int)
    : scheduler_(dependencies.scheduler),
      clock_(dependencies.clock),
      sessionManager_(makeSessionManager(*configuration, dependencies)),
      durationTracker_(DurationSignalTracker::create(dependencies.clock, dependencies.activity)),
      signalManager_(signalManagerFor(configuration, dependencies, sessionManager_)),
      startSessionAccounting_(sessionAccountingFor(dependencies, sessionManager_)),
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

std::shared_ptr<TelemetryManager> TelemetryManager::exchangeShared(std::shared_ptr<TelemetryManager> manager)
{
    auto& storage = TelemetryManagerStorage::instance();
    std::unique_lock lock(storage.mutex);
    return std::exchange(storage.manager, std::move(manager));
}

void TelemetryManager::shutDown()
{
    signalManager_->stop();
    sessionManager_->stop();
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
