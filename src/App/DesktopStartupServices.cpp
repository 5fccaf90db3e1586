#include "App/DesktopStartupServices.h"

#include "Platform/Background.h"
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

} // namespace

StartupServices desktopStartupServices()
{
    StartupServices services;
    services.initializeTelemetry = initializeTelemetry;
    services.reconcileLoginItem = [](bool) {};
    services.setLoginItem = [](bool) {};
    services.watchSleep = [](std::function<void()>, std::function<void()>) {};
    services.cleanUpStaleTemporaryFiles = [] { cleanUpInBackground([] {}); };
    services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    services.quit = [] { QCoreApplication::quit(); };
    services.screens = liveScreens;
    return services;
}

} // namespace vantory
