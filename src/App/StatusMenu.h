#pragma once

#include "Platform/Scheduler.h"

#include <QObject>
#include <QUrl>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace vantory {

class AppSettings;

// What the status menu asks of the rest of the application.
struct StatusMenuActions {
    std::function<bool()> isPanelVisible;
    std::function<void()> togglePanel;
    std::function<void(bool enable)> setLaunchAtLogin;
    std::function<void()> quit;
    std::function<void(const QUrl&)> openUrl;
    QUrl releasePage; // empty: there is nowhere to look for updates
};

// The tray icon and its menu: show or hide the panel, the settings, updates, quit. Where
// no tray is there yet (a desktop without one, or a tray host starting after us) it keeps
// looking for a minute; meanwhile the panel's own context menu offers the settings.
class StatusMenu final : public QObject {
    Q_OBJECT

public:
    static constexpr Scheduler::Duration trayRetryInterval{5000};
    static constexpr int trayRetries = 12;

    StatusMenu(AppSettings& settings, StatusMenuActions actions, Scheduler& scheduler, QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return menu_.get(); }
    QMenu* settingsMenu() const { return settingsMenu_; }
    bool isTrayShown() const;

    // Brings check marks and the first item's title up to date.
    void refresh();
    void togglePanel();

Q_SIGNALS:
    void trayShownChanged(bool shown);

private:
    void buildMenu();
    void buildSettingsMenu();
    void showTrayWhenAvailable(int retriesLeft);
    void refreshPanelTitle();

    AppSettings& settings_;
    StatusMenuActions actions_;
    Scheduler& scheduler_;
    std::unique_ptr<QMenu> menu_;
    QMenu* settingsMenu_ = nullptr;
    QAction* panelAction_ = nullptr;
    QAction* moveToTrashAction_ = nullptr;
    QAction* launchAtLoginAction_ = nullptr;
    std::vector<QAction*> locationActions_;
    QSystemTrayIcon* tray_ = nullptr;
};

} // namespace vantory
