#include "App/StatusMenu.h"

#include "App/TrayIconArt.h"
#include "State/AppSettings.h"

#include <QActionGroup>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace vantory {

namespace {

const char* const hideTitle = QT_TRANSLATE_NOOP("StatusMenu", "Hide Widget");
const char* const showTitle = QT_TRANSLATE_NOOP("StatusMenu", "Show Widget");

} // namespace

StatusMenu::StatusMenu(AppSettings& settings, StatusMenuActions actions, Scheduler& scheduler, QObject* parent)
    : QObject(parent),
      settings_(settings),
      actions_(std::move(actions)),
      scheduler_(scheduler),
      menu_(std::make_unique<QMenu>())
{
    buildMenu();
    connect(menu_.get(), &QMenu::aboutToShow, this, &StatusMenu::refresh);
    connect(&settings_, &AppSettings::moveOriginalToTrashChanged, this, &StatusMenu::refresh);
    connect(&settings_, &AppSettings::outputLocationChanged, this, &StatusMenu::refresh);
    connect(&settings_, &AppSettings::launchAtLoginChanged, this, &StatusMenu::refresh);
    refresh();

    tray_ = new QSystemTrayIcon(trayIcon(), this);
    tray_->setToolTip(QStringLiteral("Vantory"));
    tray_->setContextMenu(menu_.get());
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            menu_->popup(QCursor::pos());
    });
    showTrayWhenAvailable(trayRetries);
}

StatusMenu::~StatusMenu() = default;

bool StatusMenu::isTrayShown() const
{
    return tray_->isVisible();
}

void StatusMenu::buildMenu()
{
    panelAction_ = menu_->addAction(tr(hideTitle), this, &StatusMenu::togglePanel);
    menu_->addSeparator();
    buildSettingsMenu();
    QAction* updates = menu_->addAction(tr("Check for Updates\u2026"), this, [this] { actions_.openUrl(actions_.releasePage); });
    updates->setEnabled(actions_.releasePage.isValid() && !actions_.releasePage.isEmpty());
    menu_->addSeparator();
    QAction* quit = menu_->addAction(tr("Quit Vantory"), this, [this] { actions_.quit(); });
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void StatusMenu::buildSettingsMenu()
{
    settingsMenu_ = menu_->addMenu(tr("Settings"));
    settingsMenu_->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));

    // A checkable action has flipped its own mark by the time it reports: the new mark is
    // what the user asked for.
    moveToTrashAction_ = settingsMenu_->addAction(tr("Move Originals to Trash"));
    moveToTrashAction_->setCheckable(true);
    connect(moveToTrashAction_, &QAction::triggered, this, [this](bool enable) { settings_.setMoveOriginalToTrash(enable); });

    settingsMenu_->addSeparator();
    settingsMenu_->addAction(tr("Save To"))->setEnabled(false);
    auto* locations = new QActionGroup(settingsMenu_);
    for (OutputLocation location : allOutputLocations) {
        QAction* action = settingsMenu_->addAction(QString::fromStdString(label(location)));
        action->setCheckable(true);
        locations->addAction(action);
        connect(action, &QAction::triggered, this, [this, location] { settings_.setOutputLocation(location); });
        locationActions_.push_back(action);
    }

    settingsMenu_->addSeparator();
    launchAtLoginAction_ = settingsMenu_->addAction(tr("Launch at Login"));
    launchAtLoginAction_->setCheckable(true);
    connect(launchAtLoginAction_, &QAction::triggered, this, [this](bool enable) { actions_.setLaunchAtLogin(enable); });
}

void StatusMenu::refresh()
{
    moveToTrashAction_->setChecked(settings_.moveOriginalToTrash());
    for (std::size_t i = 0; i < locationActions_.size(); ++i)
        locationActions_[i]->setChecked(allOutputLocations[i] == settings_.outputLocation());
    launchAtLoginAction_->setChecked(settings_.launchAtLogin());
    refreshPanelTitle();
}

void StatusMenu::refreshPanelTitle()
{
    panelAction_->setText(tr(actions_.isPanelVisible() ? hideTitle : showTitle));
}

void StatusMenu::togglePanel()
{
    actions_.togglePanel();
    refreshPanelTitle();
}

void StatusMenu::showTrayWhenAvailable(int retriesLeft)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_->show();
        Q_EMIT trayShownChanged(true);
        return;
    }
    if (retriesLeft > 0)
        scheduler_.post(trayRetryInterval, this, [this, retriesLeft] { showTrayWhenAvailable(retriesLeft - 1); });
}

} // namespace vantory
