#include "App/AppDelegate.h"

#include "App/StatusMenu.h"
#include "State/AppSettings.h"
#include "State/WidgetStateManager.h"
#include "Views/ContentView.h"
#include "Views/DropTargetView.h"
#include "Views/FloatingPanel.h"
#include "Views/TimingCurves.h"

#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace vantory {

namespace {

using Kind = WidgetPhase::Kind;
constexpr int snapDurationMs = 250;
constexpr int resizeDurationMs = 300;

} // namespace

AppDelegate::AppDelegate(WidgetStateManager& stateManager, AppSettings& settings, Scheduler& scheduler, StartupServices services,
                         BuildSettings build, QObject* parent)
    : QObject(parent),
      stateManager_(stateManager),
      settings_(settings),
      scheduler_(scheduler),
      services_(std::move(services)),
      build_(std::move(build))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    setupTelemetry();
    setupPanel();
    setupLoginItem();
    setupStatusBar();
    observeStateChanges();
    observeScreenChanges();
    observeSleepWake();
    services_.cleanUpStaleTemporaryFiles();
    // Until start-up has returned to the event loop, finishing a drag does not snap.
    QTimer::singleShot(0, this, &AppDelegate::observePanelMoves);
}

void AppDelegate::setupTelemetry()
{
    if (!build_.telemetryAppID.empty())
        services_.initializeTelemetry(build_.telemetryAppID);
}

void AppDelegate::setupPanel()
{
    panel_ = std::make_unique<FloatingPanel>();
    dropTarget_ = new DropTargetView(&stateManager_, scheduler_, panel_.get());
    content_ = new ContentView(stateManager_, scheduler_, dropTarget_);
    content_->setTipPage(build_.tipPageHost);
    content_->onQuit = [this] { quit(); };
    for (QWidget* parent : {static_cast<QWidget*>(panel_.get()), static_cast<QWidget*>(dropTarget_)}) {
        auto* layout = new QVBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    panel_->layout()->addWidget(dropTarget_);
    dropTarget_->layout()->addWidget(content_);
    connect(content_, &ContentView::visibleRegionChanged, this, &AppDelegate::updatePanelMask);
    connect(&stateManager_, &WidgetStateManager::anchorEdgeChanged, this, &AppDelegate::updatePanelMask);

    positionForCurrentEdge();
    panel_->show();
    updatePanelMask();
}

void AppDelegate::updatePanelMask()
{
    panel_->setVisibleRegion(content_->visibleRegion().translated(content_->mapTo(panel_.get(), QPoint(0, 0))));
}

void AppDelegate::setupLoginItem()
{
    services_.reconcileLoginItem(settings_.launchAtLogin());
}

void AppDelegate::setupStatusBar()
{
    StatusMenuActions actions;
    actions.isPanelVisible = [this] { return panel_->isVisible(); };
    actions.togglePanel = [this] { togglePanel(); };
    actions.setLaunchAtLogin = [this](bool enable) { setLaunchAtLogin(enable); };
    actions.quit = [this] { quit(); };
    actions.openUrl = services_.openUrl;
    actions.releasePage = build_.releasePage;
    statusMenu_ = std::make_unique<StatusMenu>(settings_, std::move(actions), scheduler_);

    // Without a tray the panel's context menu is the only way to the settings.
    const auto offerSettings = [this](bool trayShown) {
        content_->setExtraMenu(trayShown ? nullptr : statusMenu_->settingsMenu());
    };
    offerSettings(statusMenu_->isTrayShown());
    connect(statusMenu_.get(), &StatusMenu::trayShownChanged, this, offerSettings);
}

void AppDelegate::observeStateChanges()
{
    // Connected now, so the state start-up set is not reported: only later changes resize.
    connect(&stateManager_, &WidgetStateManager::stateChanged, this, &AppDelegate::animatePanelResize);
}

void AppDelegate::observeScreenChanges()
{
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &AppDelegate::screenParametersChanged);
        connect(screen, &QScreen::availableGeometryChanged, this, &AppDelegate::screenParametersChanged);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        screenParametersChanged();
    });
    // Queued: while the signal is delivered the removed screen is still in the list.
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &AppDelegate::screenParametersChanged, Qt::QueuedConnection);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &AppDelegate::screenParametersChanged);
}

void AppDelegate::observeSleepWake()
{
    services_.watchSleep(
        [self = QPointer(this)] {
            if (self)
                self->systemWillSleep();
        },
        [self = QPointer(this)] {
            if (self)
                self->systemDidWake();
        });
}

void AppDelegate::observePanelMoves()
{
    panel_->onDragEnd = [this] { snapToNearestEdge(); };
}

void AppDelegate::screenParametersChanged()
{
    if (PanelGeometry::isOnNoScreen(panel_->geometry(), services_.screens()))
        positionForCurrentEdge();
}

void AppDelegate::systemWillSleep()
{
    const auto& state = stateManager_.state();
    if (state.is(Kind::converting) || state.is(Kind::summarizing))
        stateManager_.cancelConversion();
}

void AppDelegate::systemDidWake()
{
    positionForCurrentEdge();
}

QRectF AppDelegate::currentVisibleFrame() const
{
    return PanelGeometry::currentVisibleFrame(panel_->geometry(), services_.screens());
}

void AppDelegate::positionForCurrentEdge()
{
    if (panelAnimation_)
        panelAnimation_->stop();
    const QPointF origin = PanelGeometry::positionForEdge(stateManager_.anchorEdge(), currentVisibleFrame(), panel_->size());
    panel_->move(origin.toPoint());
}

void AppDelegate::snapToNearestEdge()
{
    const QRectF visible = currentVisibleFrame();
    const QRectF frame = panel_->geometry();
    const AnchorEdge edge = PanelGeometry::nearestEdge(frame, visible);
    stateManager_.setAnchorEdge(edge);
    const QRectF target = PanelGeometry::snapTarget(edge, frame, visible);
    if (target.toRect() != frame.toRect())
        animatePanelTo(target, snapDurationMs, TimingCurves::easeOut());
}

void AppDelegate::animatePanelResize()
{
    if (const auto target = PanelGeometry::restoredSizeFrame(panel_->geometry(), PanelGeometry::panelSize))
        animatePanelTo(*target, resizeDurationMs, TimingCurves::easeInEaseOut());
}

void AppDelegate::animatePanelTo(const QRectF& frame, int durationMs, const QEasingCurve& curve)
{
    if (panelAnimation_)
        panelAnimation_->stop();
    auto* animation = new QPropertyAnimation(panel_.get(), "geometry", this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    animation->setEndValue(frame.toRect());
    panelAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void AppDelegate::togglePanel()
{
    if (panel_->isVisible())
        panel_->hide();
    else
        panel_->show();
}

void AppDelegate::setLaunchAtLogin(bool enable)
{
    services_.setLoginItem(enable);
    settings_.setLaunchAtLogin(enable);
}

void AppDelegate::quit()
{
    const auto& state = stateManager_.state();
    if (state.is(Kind::converting) || state.is(Kind::summarizing))
        stateManager_.cancelConversion();
    services_.quit();
}

} // namespace vantory
