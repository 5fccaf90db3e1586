#include "App/DesktopStartupServices.h"

#include "Platform/Background.h"
#include "Platform/LoginItem.h"
#include "Platform/SleepWatcher.h"
#include "Platform/StaleTemporaryCleanup.h"
#include "Telemetry/ApplicationActivity.h"
#include "Telemetry/Telemetry.h"

#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QThread>

namespace vantory {

namespace {

PanelGeometry::Screens liveScreens()
{
    PanelGeometry::Screens screens;
    const auto all = QGuiApplication::screens();
    for (QScreen* screen : all)
        screens.availableAreas.push_back(QRectF(screen->availableGeometry()));
    const auto primary = std::find(all.begin(), all.end(), QGuiApplication::primaryScreen());
    if (primary != all.end())
        screens.primary = static_cast<std::size_t>(primary - all.begin());
    return screens;
}

void initializeTelemetry(const std::string& appID)
{
    Telemetry::initialize(std::make_shared<TelemetryManagerConfiguration>(appID));
}

// Low priority: it is housekeeping and must not slow the first drop.
void cleanUpInBackground(std::function<void()> cleanUp)
{
    runInBackground([cleanUp = std::move(cleanUp)] {
        QThread* thread = QThread::currentThread();
        thread->setPriority(QThread::LowPriority);
        cleanUp();
        thread->setPriority(QThread::NormalPriority);
    });
}

std::filesystem::path runningProgram()
{
    return QCoreApplication::applicationFilePath().toStdString();
}

void watchSleep(std::function<void()> willSleep, std::function<void()> didWake)
{
    // Lives as long as the application.
    auto* watcher = new SleepWatcher(QDBusConnection::systemBus(), qApp);
    QObject::connect(watcher, &SleepWatcher::willSleep, qApp, std::move(willSleep));
    // The usage telemetry stores the running session before the system sleeps.
    QObject::connect(watcher, &SleepWatcher::willSleep, ApplicationActivity::ofApplication(), &ApplicationActivity::willSleep);
    QObject::connect(watcher, &SleepWatcher::didWake, qApp, std::move(didWake));
}

} // namespace

StartupServices desktopStartupServices()
{
    StartupServices services;
    services.initializeTelemetry = initializeTelemetry;
    services.reconcileLoginItem = [](bool launchAtLogin) { LoginItem::reconcile(launchAtLogin, runningProgram()); };
    services.setLoginItem = [](bool enable) {
        if (enable)
            LoginItem::registerItem(runningProgram());
        else
            LoginItem::unregisterItem();
    };
    services.watchSleep = watchSleep;
    services.cleanUpStaleTemporaryFiles = [] { cleanUpInBackground([] { removeStaleTemporaryEntries(); }); };
    services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    services.quit = [] { QCoreApplication::quit(); };
    services.screens = liveScreens;
    return services;
}

} // namespace vantory
