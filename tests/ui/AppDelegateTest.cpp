#include "App/AppDelegate.h"
#include "App/StatusMenu.h"
#include "State/WidgetStateManager.h"
#include "Views/FloatingPanel.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"

#include <QPropertyAnimation>
#include <gtest/gtest.h>

using namespace vantory;
using Kind = WidgetPhase::Kind;

namespace {

// One 1280 x 800 screen with a 24-pixel bar at the top.
const QRectF available(0, 24, 1280, 776);

class AppDelegateTest : public ::testing::Test {
protected:
    test::FakedStateManager faked;
    test::ManualScheduler& clock = faked.clock;
    test::TestSettings& settings = faked.settings;
    std::shared_ptr<test::FakeRouter> router = faked.router;
    WidgetStateManager& manager = *faked.manager;
    std::vector<std::string> calls;
    PanelGeometry::Screens screens{{available}, 0};
    std::function<void()> willSleep, didWake;
    bool refuseLoginItem = false;
    BuildSettings build{"", QUrl()};
    std::unique_ptr<AppDelegate> delegate;

    ~AppDelegateTest() override { test::finishBackgroundWork(); }

    StartupServices recordingServices()
    {
        StartupServices services;
        services.initializeTelemetry = [this](const std::string& id) { calls.push_back("telemetry " + id); };
        services.reconcileLoginItem = [this](bool on) {
            calls.push_back(std::string("login item ") + (on ? "on" : "off")
                            + (delegate->panel() && delegate->panel()->isVisible() ? " after the panel" : ""));
        };
        services.setLoginItem = [this](bool on) { calls.push_back(std::string("set login item ") + (on ? "on" : "off")); };
        services.watchSleep = [this](std::function<void()> sleep, std::function<void()> wake) {
            calls.push_back(std::string("watch sleep") + (delegate->statusMenu() ? " after the menu" : ""));
            willSleep = std::move(sleep);
            didWake = std::move(wake);
        };
        services.cleanUpStaleTemporaryFiles = [this] { calls.push_back("clean up"); };
        services.openUrl = [this](const QUrl& url) { calls.push_back("open " + url.toString().toStdString()); };
        services.quit = [this] {
            calls.push_back(std::string("quit in ") + (manager.state().is(Kind::converting) ? "converting" : "another phase"));
        };
        services.screens = [this] { return screens; };
        return services;
    }

    void launch()
    {
        delegate = std::make_unique<AppDelegate>(manager, *settings, clock, recordingServices(), build);
        delegate->applicationDidFinishLaunching();
    }

    void launchAndSettle()
    {
        launch();
        QCoreApplication::processEvents();
    }

    FloatingPanel& panel() { return *delegate->panel(); }
    QPropertyAnimation* runningAnimation() { return delegate->findChild<QPropertyAnimation*>(); }
    QPoint rightEdgePosition() const { return QPoint(1280 - 460, 24 + 388 - 230); }
};

} // namespace

TEST_F(AppDelegateTest, StartUpRunsItsStepsInOrder)
{
    settings->setLaunchAtLogin(true);
    build.telemetryAppID = "4A1C-app";
    launch();
    EXPECT_EQ(calls, (std::vector<std::string>{"telemetry 4A1C-app", "login item on after the panel",
                                               "watch sleep after the menu", "clean up"}));
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().pos(), rightEdgePosition());
    EXPECT_EQ(panel().size(), QSize(460, 460));
}

TEST_F(AppDelegateTest, WithoutATelemetryIdTheClientIsNotStarted)
{
    launch();
    EXPECT_EQ(calls.front(), "login item off after the panel");
}

TEST_F(AppDelegateTest, FinishingADragSnapsOnlyOnceStartUpHasReturned)
{
    launch();
    EXPECT_FALSE(panel().onDragEnd);
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel().onDragEnd);

    panel().move(90, 200);
    panel().onDragEnd();
    EXPECT_EQ(manager.anchorEdge(), AnchorEdge::left);
    ASSERT_TRUE(runningAnimation());
    EXPECT_EQ(runningAnimation()->endValue().toRect(), QRect(0, 200, 460, 460));
}

TEST_F(AppDelegateTest, ASnapToWhereThePanelIsMovesNothingButStillSetsTheEdge)
{
    launchAndSettle();
    panel().move(400, 24);
    panel().onDragEnd();
    EXPECT_EQ(manager.anchorEdge(), AnchorEdge::top);
    EXPECT_FALSE(runningAnimation());
}

TEST_F(AppDelegateTest, StateChangesLeaveAPanelOfTheRightSizeAlone)
{
    launchAndSettle();
    manager.setState(WidgetPhase::hovering());
    manager.setState(WidgetPhase::idle());
    EXPECT_FALSE(runningAnimation());
}

TEST_F(AppDelegateTest, SleepStopsOnlyARunOrASummary)
{
    launchAndSettle();
    struct Case {
        WidgetPhase phase;
        Kind after;
    };
    const std::vector<Case> cases = {
        {WidgetPhase::converting(1, 3), Kind::actions},
        {WidgetPhase::summarizing(), Kind::actions},
        {WidgetPhase::actions(), Kind::actions},
        {WidgetPhase::completed("/tmp/out"), Kind::completed},
        {WidgetPhase::idle(), Kind::idle},
    };
    for (const auto& c : cases) {
        manager.setState(c.phase);
        willSleep();
        EXPECT_EQ(manager.state().kind, c.after) << static_cast<int>(c.phase.kind);
    }
}

TEST_F(AppDelegateTest, WakingPutsThePanelBackOnItsEdgeEvenWhenOnScreen)
{
    launchAndSettle();
    panel().move(500, 300);
    didWake();
    EXPECT_EQ(panel().pos(), rightEdgePosition());
}

TEST_F(AppDelegateTest, AScreenChangeMovesOnlyAPanelLeftOnNoScreen)
{
    launchAndSettle();
    panel().move(500, 300);
    delegate->screenParametersChanged();
    EXPECT_EQ(panel().pos(), QPoint(500, 300));

    // The screen the panel was on is gone; the other one is to the left.
    screens = {{QRectF(-1920, 0, 1920, 1080)}, 0};
    delegate->screenParametersChanged();
    EXPECT_EQ(panel().pos(), QPoint(-460, 540 - 230));
}

TEST_F(AppDelegateTest, QuittingStopsARunFirst)
{
    launchAndSettle();
    manager.setState(WidgetPhase::converting(0, 2));
    delegate->quit();
    EXPECT_EQ(calls.back(), "quit in another phase");
    EXPECT_EQ(manager.state().kind, Kind::actions);
}

TEST_F(AppDelegateTest, LaunchAtLoginIsStoredEvenWhenTheSystemRefuses)
{
    launchAndSettle();
    delegate->setLaunchAtLogin(true);
    EXPECT_EQ(calls.back(), "set login item on");
    EXPECT_TRUE(settings->launchAtLogin());
    delegate->setLaunchAtLogin(false);
    EXPECT_FALSE(settings->launchAtLogin());
}

TEST_F(AppDelegateTest, HidingAndShowingThePanel)
{
    launchAndSettle();
    delegate->togglePanel();
    EXPECT_FALSE(panel().isVisible());
    delegate->togglePanel();
    EXPECT_TRUE(panel().isVisible());
}
