#include "AI/FoundationModelsSummarizer.h"
#include "App/AppDelegate.h"
#include "App/BuildSettings.h"
#include "App/DesktopStartupServices.h"
#include "App/DesktopStateServices.h"
#include "App/SingleInstance.h"
#include "App/TerminationSignal.h"
#include "Platform/HeapTuning.h"
#include "Platform/Scheduler.h"
#include "State/ActionCapabilities.h"
#include "State/AppSettings.h"
#include "State/WidgetStateManager.h"

#include <QApplication>
#include <cstdio>

namespace {

// Only on X11 can a window place itself and stay above the others, so a desktop that also
// offers X11 (XWayland) is used through it unless the user chose otherwise.
void preferX11()
{
    if (qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char** argv)
{
    vantory::keepFreedHeapForReuse();
    preferX11();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantory"));
    QApplication::setQuitOnLastWindowClosed(false);

    vantory::SingleInstance instance;
    if (!instance.claim()) {
        std::fprintf(stderr, "Vantory is already running.\n");
        return 0;
    }

    vantory::ActionCapabilities::setSummariesAvailable(vantory::FoundationModelsSummarizer().isModelAvailable());
    vantory::ActionCapabilities::probeInBackground();
    vantory::WidgetStateManager stateManager(vantory::desktopStateServices());
    vantory::AppDelegate delegate(stateManager, vantory::AppSettings::shared(), vantory::QtScheduler::shared(),
                                  vantory::desktopStartupServices(), vantory::buildSettings());
    vantory::TerminationSignal termination([&delegate] { delegate.quit(); });
    delegate.applicationDidFinishLaunching();
    return app.exec();
}
