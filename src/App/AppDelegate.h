#pragma once

#include "Views/PanelGeometry.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>

class QPropertyAnimation;

namespace vantory {

class AppSettings;
class ContentView;
class DropTargetView;
class FloatingPanel;
class Scheduler;
class StatusMenu;
class WidgetStateManager;

// What start-up reaches outside the widgets; tests record these.
struct StartupServices {
    std::function<void(const std::string& appID)> initializeTelemetry;
    // Brings the login item in step with the stored preference.
    std::function<void(bool launchAtLogin)> reconcileLoginItem;
    // Adds or removes the login item; a refusal is not reported.
    std::function<void(bool enable)> setLoginItem;
    // Calls the first before the system sleeps and the second after it wakes.
    std::function<void(std::function<void()> willSleep, std::function<void()> didWake)> watchSleep;
    // Removes what earlier runs left in the program's temporary folder; off this thread.
    std::function<void()> cleanUpStaleTemporaryFiles;
    std::function<void(const QUrl&)> openUrl;
    // Ends the event loop.
    std::function<void()> quit;
    // The screens' available areas, live.
    std::function<PanelGeometry::Screens()> screens;
};

// Values fixed when the program is built.
struct BuildSettings {
    std::string telemetryAppID;
    QUrl releasePage;
    QString tipPageHost = {}; // the donation card's page, without "https://"
};

// Builds everything the user sees and keeps it in step: the docked panel, the tray menu,
// the login item, the panel's place across screen changes and sleep, and the one quit path.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    AppDelegate(WidgetStateManager& stateManager, AppSettings& settings, Scheduler& scheduler, StartupServices services,
                BuildSettings build, QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();

    FloatingPanel* panel() const { return panel_.get(); }
    DropTargetView* dropTarget() const { return dropTarget_; }
    ContentView* content() const { return content_; }
    StatusMenu* statusMenu() const { return statusMenu_.get(); }

    // Placement.
    QRectF currentVisibleFrame() const;
    void positionForCurrentEdge();
    void snapToNearestEdge();
    void animatePanelResize();

    void togglePanel();
    void setLaunchAtLogin(bool enable);
    // Every way out goes through here: a run in progress is stopped first.
    void quit();

    // Outside events.
    void screenParametersChanged();
    void systemWillSleep();
    void systemDidWake();

private:
    void setupTelemetry();
    void setupPanel();
    void setupLoginItem();
    void setupStatusBar();
    void observeStateChanges();
    void observeScreenChanges();
    void observeSleepWake();
    void observePanelMoves();
    void updatePanelMask();
    void animatePanelTo(const QRectF& frame, int durationMs, const QEasingCurve& curve);

    WidgetStateManager& stateManager_;
    AppSettings& settings_;
    Scheduler& scheduler_;
    StartupServices services_;
    BuildSettings build_;

    std::unique_ptr<FloatingPanel> panel_;
    DropTargetView* dropTarget_ = nullptr;
    ContentView* content_ = nullptr;
    std::unique_ptr<StatusMenu> statusMenu_;
    QPointer<QPropertyAnimation> panelAnimation_;
};

} // namespace vantory
