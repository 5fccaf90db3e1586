#include "App/StatusMenu.h"
#include "support/ManualScheduler.h"
#include "support/TestSettings.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

const QString separator = QStringLiteral("---");

QStringList titles(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions())
        result << (action->isSeparator() ? separator : action->text());
    return result;
}

QAction* find(const QMenu* menu, const QString& title)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == title)
            return action;
    }
    ADD_FAILURE() << "no item " << title.toStdString();
    return nullptr;
}

QStringList checkedTitles(const QMenu* menu)
{
    QStringList result;
    for (const QAction* action : menu->actions()) {
        if (action->isChecked())
            result << action->text();
    }
    return result;
}

// The menu with the rest of the application played by fakes that record what they are asked.
class StatusMenuTest : public ::testing::Test {
protected:
    StatusMenuActions fakeActions(QUrl releasePage = {})
    {
        StatusMenuActions actions;
        actions.isPanelVisible = [this] { return panelVisible; };
        actions.togglePanel = [this] { panelVisible = !panelVisible; };
        actions.setLaunchAtLogin = [this](bool enable) { loginItemRequests.push_back(enable); };
        actions.quit = [this] { ++quits; };
        actions.openUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
        actions.releasePage = std::move(releasePage);
        return actions;
    }

    std::unique_ptr<StatusMenu> makeMenu(QUrl releasePage = {})
    {
        return std::make_unique<StatusMenu>(*settings, fakeActions(std::move(releasePage)), scheduler);
    }

    test::TestSettings settings;
    test::ManualScheduler scheduler;
    bool panelVisible = true;
    std::vector<bool> loginItemRequests;
    int quits = 0;
    std::vector<QUrl> openedUrls;
};

} // namespace

TEST_F(StatusMenuTest, ItemsInOrder)
{
    const auto menu = makeMenu();
    EXPECT_EQ(titles(menu->menu()),
              QStringList({"Hide Widget", separator, "Settings", "Check for Updates\u2026", separator, "Quit Vantory"}));
    EXPECT_EQ(titles(menu->settingsMenu()),
              QStringList({"Move Originals to Trash", separator, "Save To", "Same Folder as Original", "Desktop", "Downloads",
                           separator, "Launch at Login"}));
    EXPECT_EQ(find(menu->menu(), "Settings")->menu(), menu->settingsMenu());

    EXPECT_EQ(find(menu->menu(), "Settings")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(find(menu->menu(), "Quit Vantory")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(find(menu->menu(), "Hide Widget")->shortcut().isEmpty());
    EXPECT_FALSE(find(menu->settingsMenu(), "Save To")->isEnabled());

    QStringList checkable;
    for (const QMenu* each : {menu->menu(), menu->settingsMenu()}) {
        for (const QAction* action : each->actions()) {
            if (action->isCheckable())
                checkable << action->text();
        }
    }
    EXPECT_EQ(checkable,
              QStringList({"Move Originals to Trash", "Same Folder as Original", "Desktop", "Downloads", "Launch at Login"}));
}

TEST_F(StatusMenuTest, QuitAsksTheApplicationToQuit)
{
    const auto menu = makeMenu();
    find(menu->menu(), "Quit Vantory")->trigger();
    EXPECT_EQ(quits, 1);
}

TEST_F(StatusMenuTest, ChosenLocationIsStoredAndIsTheOnlyOneChecked)
{
    const auto menu = makeMenu();
    const QStringList locations = {"Same Folder as Original", "Desktop", "Downloads"};
    auto checkedLocations = [&] {
        QStringList checked = checkedTitles(menu->settingsMenu());
        checked.removeIf([&](const QString& title) { return !locations.contains(title); });
        return checked;
    };
    EXPECT_EQ(checkedLocations(), QStringList({"Same Folder as Original"}));

    find(menu->settingsMenu(), "Desktop")->trigger();
    menu->refresh();
    EXPECT_EQ(checkedLocations(), QStringList({"Desktop"}));
    EXPECT_EQ(settings->outputLocation(), OutputLocation::desktop);
    EXPECT_EQ(AppSettings(settings.makeStore()).outputLocation(), OutputLocation::desktop);

    // Choosing the checked one again leaves it chosen.
    find(menu->settingsMenu(), "Desktop")->trigger();
    menu->refresh();
    EXPECT_EQ(checkedLocations(), QStringList({"Desktop"}));
    EXPECT_EQ(settings->outputLocation(), OutputLocation::desktop);
}

TEST_F(StatusMenuTest, MoveToTrashToggledTwiceReturnsToItsStart)
{
    for (const bool start : {false, true}) {
        settings->setMoveOriginalToTrash(start);
        const auto menu = makeMenu();
        QAction* item = find(menu->settingsMenu(), "Move Originals to Trash");
        ASSERT_EQ(item->isChecked(), start);

        item->trigger();
        menu->refresh();
        EXPECT_EQ(settings->moveOriginalToTrash(), !start);
        EXPECT_EQ(item->isChecked(), !start);

        item->trigger();
        menu->refresh();
        EXPECT_EQ(settings->moveOriginalToTrash(), start);
        EXPECT_EQ(item->isChecked(), start);
        EXPECT_EQ(AppSettings(settings.makeStore()).moveOriginalToTrash(), start);
    }
}

TEST_F(StatusMenuTest, LaunchAtLoginAsksToEnableThenToDisable)
{
    const auto menu = makeMenu();
    QAction* item = find(menu->settingsMenu(), "Launch at Login");
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(loginItemRequests, std::vector<bool>({true, false}));
}

TEST_F(StatusMenuTest, LaunchAtLoginPreferenceIsLeftToTheCaller)
{
    // The caller here refuses: it records the request and stores nothing. The menu neither
    // reports the refusal nor stores the preference behind the caller's back.
    const auto menu = makeMenu();
    QAction* item = find(menu->settingsMenu(), "Launch at Login");
    item->trigger();
    EXPECT_EQ(loginItemRequests, std::vector<bool>({true}));
    EXPECT_TRUE(item->isChecked());
    EXPECT_FALSE(settings->launchAtLogin());
    EXPECT_FALSE(AppSettings(settings.makeStore()).launchAtLogin());

    // A caller that stores the choice, as the application does, keeps the mark on through an opening.
    settings->setLaunchAtLogin(true);
    menu->refresh();
    EXPECT_TRUE(item->isChecked());
}

TEST_F(StatusMenuTest, PanelItemTitleFollowsThePanel)
{
    const auto menu = makeMenu();
    QAction* item = menu->menu()->actions().first();
    EXPECT_EQ(item->text(), "Hide Widget");

    item->trigger();
    EXPECT_FALSE(panelVisible);
    EXPECT_EQ(item->text(), "Show Widget");
    menu->togglePanel();
    EXPECT_TRUE(panelVisible);
    EXPECT_EQ(item->text(), "Hide Widget");

    // Hidden or shown some other way: the next refresh, or opening the menu, catches up.
    panelVisible = false;
    menu->refresh();
    EXPECT_EQ(item->text(), "Show Widget");
    panelVisible = true;
    Q_EMIT menu->menu()->aboutToShow();
    EXPECT_EQ(item->text(), "Hide Widget");
}

TEST_F(StatusMenuTest, UpdateCheckOpensTheReleasePageWhenThereIsOne)
{
    const auto withoutPage = makeMenu();
    EXPECT_FALSE(find(withoutPage->menu(), "Check for Updates\u2026")->isEnabled());

    const QUrl page(QStringLiteral("https://example.org/vantory/releases"));
    const auto withPage = makeMenu(page);
    QAction* item = find(withPage->menu(), "Check for Updates\u2026");
    ASSERT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(openedUrls, std::vector<QUrl>({page}));
}

TEST_F(StatusMenuTest, SettingsChangedElsewhereShowWithoutOpeningTheMenu)
{
    const auto menu = makeMenu();
    // One change at a time: each setting has to bring the marks up to date on its own.
    struct Step {
        std::function<void()> change;
        QStringList checked;
    };
    const Step steps[] = {
        {[&] { settings->setMoveOriginalToTrash(true); }, {"Move Originals to Trash", "Same Folder as Original"}},
        {[&] { settings->setOutputLocation(OutputLocation::downloads); }, {"Move Originals to Trash", "Downloads"}},
        {[&] { settings->setLaunchAtLogin(true); }, {"Move Originals to Trash", "Downloads", "Launch at Login"}},
        {[&] { settings->setMoveOriginalToTrash(false); }, {"Downloads", "Launch at Login"}},
        {[&] { settings->setLaunchAtLogin(false); }, {"Downloads"}},
        {[&] { settings->setOutputLocation(OutputLocation::sameFolder); }, {"Same Folder as Original"}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].change();
        EXPECT_EQ(checkedTitles(menu->settingsMenu()), steps[i].checked) << "after step " << i;
    }
}

TEST_F(StatusMenuTest, WithoutATrayRetriesEveryFiveSecondsForAMinute)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a system tray";
    const auto menu = makeMenu();
    EXPECT_FALSE(menu->isTrayShown());

    for (int retry = 1; retry <= 12; ++retry) {
        ASSERT_EQ(scheduler.pendingCount(), 1u) << "before retry " << retry;
        scheduler.advance(std::chrono::seconds(5));
    }
    EXPECT_EQ(scheduler.now(), std::chrono::seconds(60));
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_FALSE(menu->isTrayShown());
}
