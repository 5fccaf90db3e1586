#include "Views/ContentView.h"
#include "State/DonationPolicy.h"
#include "State/WidgetStateManager.h"
#include "Views/ActionCard/ActionView.h"
#include "Views/CardGhost.h"
#include "Views/EdgeOffsets.h"
#include "Views/PanelGeometry.h"
#include "Views/States/CompletedView.h"
#include "Views/States/ConvertingView.h"
#include "Views/States/DropZoneView.h"
#include "Views/States/IdleOrbView.h"
#include "Views/States/PartialSuccessView.h"
#include "Views/States/ProcessingView.h"
#include "Views/States/SummaryCapsule.h"
#include "support/Animations.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/TempDir.h"
#include "support/WidgetPictures.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <gtest/gtest.h>

using namespace vantory;
using Kind = WidgetPhase::Kind;
using namespace std::chrono_literals;

namespace {

constexpr int panelSide = PanelGeometry::panelSize;

class ContentViewTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    std::unique_ptr<ContentView> view;

    ContentViewTest()
    {
        view = std::make_unique<ContentView>(*manager, clock);
        // See-through where nothing is drawn, as in the panel.
        view->setAttribute(Qt::WA_TranslucentBackground);
        view->resize(panelSide, panelSide);
        view->show();
        test::finishAnimations(view.get());
    }

    ~ContentViewTest() override { view.reset(); }

    void enter(WidgetPhase phase)
    {
        manager->setState(std::move(phase));
        test::finishAnimations(view.get());
    }

    QPointF panelCentre() const { return QPointF(panelSide / 2.0, panelSide / 2.0); }
    QPointF centreOf(const QWidget* widget) const { return QRectF(widget->geometry()).center(); }
    // The cards in the view that are still cards, not pictures of ones that left.
    int cardsPresent() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return static_cast<int>(view->findChildren<StateCard*>(Qt::FindDirectChildrenOnly).size());
    }
    // The current card's own rectangle in the view.
    QRect shownCard() const { return view->card()->cardRect().translated(view->card()->pos()); }
    // The orb's circle where it is drawn now.
    QRegion orbCircle() const { return QRegion(view->orb()->orbRect().translated(view->orb()->pos()), QRegion::Ellipse); }
};

struct PhaseCard {
    WidgetPhase phase;
    CardKind kind;
};

} // namespace

TEST_F(ContentViewTest, EachPhaseShowsItsCard)
{
    const PhaseCard rows[] = {
        {WidgetPhase::hovering(), CardKind::dropZone},
        {WidgetPhase::processing(), CardKind::processing},
        {WidgetPhase::actions(), CardKind::actions},
        {WidgetPhase::converting(0, 1), CardKind::converting},
        {WidgetPhase::completed("/tmp/out"), CardKind::completed},
        {WidgetPhase::partialSuccess("/tmp/out", "1 of 2 failed"), CardKind::partialSuccess},
        {WidgetPhase::summarizing(), CardKind::summarizing},
    };
    for (const PhaseCard& row : rows) {
        enter(row.phase);
        EXPECT_EQ(view->cardKind(), row.kind) << static_cast<int>(row.phase.kind);
        ASSERT_NE(view->card(), nullptr);
        EXPECT_TRUE(view->card()->isVisible());
        EXPECT_EQ(cardsPresent(), 1) << "the previous card is gone";
    }
    EXPECT_NE(qobject_cast<DropZoneView*>((enter(WidgetPhase::hovering()), view->card())), nullptr);
    EXPECT_NE(qobject_cast<ProcessingView*>((enter(WidgetPhase::processing()), view->card())), nullptr);
    EXPECT_NE(qobject_cast<ConvertingView*>((enter(WidgetPhase::converting(0, 1)), view->card())), nullptr);
    EXPECT_NE(qobject_cast<CompletedView*>((enter(WidgetPhase::completed("/tmp/out")), view->card())), nullptr);
    EXPECT_NE(qobject_cast<ActionView*>((enter(WidgetPhase::actions()), view->card())), nullptr);
    enter(WidgetPhase::idle());
    EXPECT_EQ(view->card(), nullptr);
    EXPECT_EQ(cardsPresent(), 0);
}

TEST_F(ContentViewTest, TheConvertingCardSurvivesProgress)
{
    enter(WidgetPhase::converting(0, 3));
    // Held weakly: a new card could be given the old one's address.
    const QPointer<StateCard> first = view->card();
    enter(WidgetPhase::converting(1, 3));
    enter(WidgetPhase::converting(2, 3));
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(view->card(), first.data());
    EXPECT_EQ(cardsPresent(), 1);
}

TEST_F(ContentViewTest, TheConvertingCardIsToldTheProgress)
{
    enter(WidgetPhase::converting(0, 3));
    auto* converting = qobject_cast<ConvertingView*>(view->card());
    ASSERT_NE(converting, nullptr);
    enter(WidgetPhase::converting(2, 3));
    EXPECT_EQ(converting->countLabel()->text(), QString::fromUtf8("Converting 2 of 3\u2026"));
}

TEST_F(ContentViewTest, ThePartialSuccessCardGetsTheRunsSummary)
{
    enter(WidgetPhase::partialSuccess("/tmp/out", "2 of 5 files could not be converted"));
    auto* partial = qobject_cast<PartialSuccessView*>(view->card());
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->summaryCapsule()->text(), QStringLiteral("2 of 5 files could not be converted"));
}

TEST_F(ContentViewTest, ARunThatAsksForATipGoesFromTheCompletedCardStraightToTheDonationCard)
{
    int runsBefore = 0;
    while (!DonationPolicy::wantsPrompt(runsBefore + 1))
        ++runsBefore;
    settings->setCompletedRunCount(runsBefore);
    manager->handleDrop({dir.write("a.png", "picture")});
    settle();
    manager->startConversion("compress_image");
    test::finishBackgroundWork();
    router->last().onFinished({1, 0, std::nullopt});
    ASSERT_EQ(view->cardKind(), CardKind::completed);

    // Read after the view has followed each change.
    std::vector<CardKind> shown;
    const auto record = [&] { shown.push_back(view->cardKind()); };
    QObject::connect(manager.get(), &WidgetStateManager::stateChanged, view.get(), record);
    QObject::connect(manager.get(), &WidgetStateManager::showDonationChanged, view.get(), record);
    clock.advance(1500ms);
    test::finishAnimations(view.get());
    EXPECT_EQ(view->cardKind(), CardKind::donation);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), CardKind::actions), 0) << "no action card is made to be thrown away";
}

TEST_F(ContentViewTest, HoveringAndProcessingSwapAtOnceOthersCrossFade)
{
    enter(WidgetPhase::hovering());
    manager->setState(WidgetPhase::processing());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(cardsPresent(), 1) << "the drop zone is gone without fading";
    EXPECT_TRUE(view->ghosts().empty()) << "the processing card covers it whole at once";

    manager->setState(WidgetPhase::actions());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(cardsPresent(), 1) << "processing leaves at once";
    EXPECT_EQ(view->ghosts().size(), 1u) << "its picture stays until the action card has faded in over it";
    auto* fading = qobject_cast<QGraphicsOpacityEffect*>(view->card()->graphicsEffect());
    ASSERT_NE(fading, nullptr) << "the action card fades in";
    EXPECT_LT(fading->opacity(), 0.5);

    test::finishAnimations(view.get());
    EXPECT_TRUE(view->ghosts().empty());
    QPointer<StateCard> actions = view->card();
    manager->setState(WidgetPhase::converting(0, 1));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(actions.isNull()) << "the action card goes, with all it held";
    EXPECT_EQ(view->ghosts().size(), 1u) << "and fades out as a picture under the new one";
    test::finishAnimations(view.get());
    EXPECT_TRUE(view->ghosts().empty()) << "which goes once faded";
    EXPECT_EQ(view->card()->graphicsEffect(), nullptr);
}

TEST_F(ContentViewTest, TheOrbIsShrunkTransparentAndUntouchableOutsideIdle)
{
    IdleOrbView* orb = view->orb();
    EXPECT_DOUBLE_EQ(orb->drawnScale(), 1);
    EXPECT_DOUBLE_EQ(orb->drawnOpacity(), 1);
    EXPECT_EQ(orb->accessibleName(), QStringLiteral("Drop files here"));

    enter(WidgetPhase::processing());
    EXPECT_DOUBLE_EQ(orb->drawnScale(), 0.65);
    EXPECT_DOUBLE_EQ(orb->drawnOpacity(), 0);
    EXPECT_TRUE(orb->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(orb->isHidden()) << "not offered to assistive tools while unseen";

    enter(WidgetPhase::idle());
    EXPECT_DOUBLE_EQ(orb->drawnScale(), 1);
    EXPECT_DOUBLE_EQ(orb->drawnOpacity(), 1);
    EXPECT_FALSE(orb->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(orb->isHidden());
}

TEST_F(ContentViewTest, OrbAndCardSitTowardTheDockedEdge)
{
    for (AnchorEdge edge : {AnchorEdge::left, AnchorEdge::top, AnchorEdge::bottom, AnchorEdge::right}) {
        manager->setAnchorEdge(edge);
        enter(WidgetPhase::idle());
        EXPECT_EQ(centreOf(view->orb()), panelCentre() + orbOffset(edge)) << static_cast<int>(edge);
        enter(WidgetPhase::hovering());
        EXPECT_EQ(centreOf(view->card()), panelCentre() + cardOffset(edge)) << static_cast<int>(edge);
    }
}

TEST_F(ContentViewTest, AnEdgeChangeSlidesTheCardOnASpring)
{
    manager->setAnchorEdge(AnchorEdge::right);
    enter(WidgetPhase::hovering());
    manager->setAnchorEdge(AnchorEdge::left);
    EXPECT_EQ(centreOf(view->card()), panelCentre() + cardOffset(AnchorEdge::right)) << "no jump";
    test::finishAnimations(view.get());
    EXPECT_EQ(centreOf(view->card()), panelCentre() + cardOffset(AnchorEdge::left));
}

TEST_F(ContentViewTest, TheVisibleRegionIsTheOrbInIdleAndTheCardElsewhere)
{
    std::vector<QRegion> announced;
    QObject::connect(view.get(), &ContentView::visibleRegionChanged, [&](const QRegion& region) { announced.push_back(region); });
    for (AnchorEdge edge : {AnchorEdge::left, AnchorEdge::right, AnchorEdge::top, AnchorEdge::bottom}) {
        manager->setAnchorEdge(edge);
        enter(WidgetPhase::idle());
        QRectF orb(0, 0, 72, 72);
        orb.moveCenter(panelCentre() + orbOffset(edge));
        EXPECT_EQ(view->visibleRegion(), QRegion(orb.toRect(), QRegion::Ellipse)) << static_cast<int>(edge);
        EXPECT_FALSE(view->visibleRegion().contains(orb.topLeft().toPoint())) << "a circle, not its square";

        enter(WidgetPhase::converting(0, 2));
        QRectF card(0, 0, 320, 320);
        card.moveCenter(panelCentre() + cardOffset(edge));
        EXPECT_EQ(view->visibleRegion(), QRegion(card.toRect())) << static_cast<int>(edge);
        ASSERT_FALSE(announced.empty());
        EXPECT_EQ(announced.back(), view->visibleRegion());
    }
}

TEST_F(ContentViewTest, TheDropZoneShowsTheInlineErrorInPlaceOfTheHint)
{
    enter(WidgetPhase::hovering());
    auto* dropZone = qobject_cast<DropZoneView*>(view->card());
    ASSERT_NE(dropZone, nullptr);
    EXPECT_EQ(dropZone->hint(), QStringLiteral("Release to continue"));

    manager->setInlineError("Folders can't be added here");
    EXPECT_EQ(dropZone->hint(), QStringLiteral("Folders can't be added here"));
    manager->setInlineError(std::nullopt);
    EXPECT_EQ(dropZone->hint(), QStringLiteral("Release to continue"));
}

TEST_F(ContentViewTest, ADropZoneOpenedDuringAnErrorShowsIt)
{
    manager->setInlineError("Too many files");
    enter(WidgetPhase::hovering());
    EXPECT_EQ(qobject_cast<DropZoneView*>(view->card())->hint(), QStringLiteral("Too many files"));
}

TEST_F(ContentViewTest, TheActionCardKeepsEightPixelsToTheDockedEdgeAsItGrows)
{
    constexpr double gap = 8;
    QRegion announced;
    QObject::connect(view.get(), &ContentView::visibleRegionChanged, [&](const QRegion& region) { announced = region; });
    for (AnchorEdge edge : {AnchorEdge::left, AnchorEdge::right, AnchorEdge::top, AnchorEdge::bottom}) {
        manager->setAnchorEdge(edge);
        enter(WidgetPhase::actions());
        for (const std::optional<std::string>& error :
             {std::optional<std::string>(), std::optional<std::string>("Not enough disk space")}) {
            manager->setInlineError(error);
            test::finishAnimations(view.get());
            const QRect card = view->card()->cardRect().translated(view->card()->pos());
            ASSERT_LT(card.height(), 320) << "an empty action card is short";
            const QRectF panel(0, 0, panelSide, panelSide);
            EXPECT_TRUE(panel.contains(card));
            switch (edge) {
            case AnchorEdge::left: EXPECT_EQ(card.left(), gap); break;
            case AnchorEdge::right: EXPECT_EQ(panelSide - card.x() - card.width(), gap); break;
            case AnchorEdge::top: EXPECT_EQ(card.top(), gap); break;
            case AnchorEdge::bottom: EXPECT_EQ(panelSide - card.y() - card.height(), gap); break;
            }
            EXPECT_EQ(view->visibleRegion(), QRegion(card)) << static_cast<int>(edge);
            EXPECT_EQ(announced, QRegion(card)) << "the panel is told of each new height";
        }
        manager->setInlineError(std::nullopt);
        enter(WidgetPhase::idle());
    }
}

struct CardChange {
    WidgetPhase from;
    WidgetPhase to;
};

// While one card gives way to another, the panel never shows the desktop through the place
// both take: the one leaving stays whole there until the other is whole.
TEST_F(ContentViewTest, ACardChangeNeverShowsTheDesktopWhereBothCardsAre)
{
    const CardChange changes[] = {
        {WidgetPhase::processing(), WidgetPhase::actions()},
        {WidgetPhase::converting(0, 1), WidgetPhase::actions()},
        {WidgetPhase::actions(), WidgetPhase::converting(0, 1)},
        {WidgetPhase::converting(0, 1), WidgetPhase::completed("/tmp/out")},
    };
    for (const CardChange& change : changes) {
        enter(change.from);
        const QRect leaving = shownCard();
        manager->setState(change.to);
        const QPoint both = leaving.intersected(shownCard()).center();
        for (int step = 0; step < 12; ++step) {
            const QImage frame = test::picture(*view);
            ASSERT_EQ(qAlpha(frame.pixel(both)), 255)
                << static_cast<int>(change.from.kind) << " to " << static_cast<int>(change.to.kind) << " at step " << step;
            test::advanceAnimations(view.get(), 40ms);
        }
        test::finishAnimations(view.get());
        EXPECT_TRUE(view->ghosts().empty());
    }
}

TEST_F(ContentViewTest, AClosedCardFadesOutOverTheOrb)
{
    enter(WidgetPhase::converting(0, 1));
    const QRect card = shownCard();
    // A corner of the card, well away from the orb.
    const QPoint corner = card.topLeft() + QPoint(30, 30);
    manager->setState(WidgetPhase::idle());
    std::vector<int> alphas;
    for (int step = 0; step < 12; ++step) {
        alphas.push_back(qAlpha(test::picture(*view).pixel(corner)));
        test::advanceAnimations(view.get(), 40ms);
    }
    EXPECT_EQ(alphas.front(), 255) << "not gone at once";
    EXPECT_GT(alphas[3], 0) << "still fading";
    test::finishAnimations(view.get());
    EXPECT_EQ(qAlpha(test::picture(*view).pixel(corner)), 0);
}

struct ShapeChange {
    WidgetPhase from;
    WidgetPhase to;
};

TEST_F(ContentViewTest, TheShapeKeepsALeavingCardUntilItHasFaded)
{
    const ShapeChange changes[] = {
        {WidgetPhase::converting(0, 1), WidgetPhase::actions()}, // a cancel: the action card is shorter
        {WidgetPhase::actions(), WidgetPhase::idle()},
    };
    for (const ShapeChange& change : changes) {
        enter(change.from);
        const QRect leaving = shownCard();
        manager->setState(change.to);
        const QRegion arriving = change.to.is(Kind::idle) ? orbCircle() : QRegion(shownCard());
        test::advanceAnimations(view.get(), 100ms);
        EXPECT_EQ(view->visibleRegion(), QRegion(leaving) + arriving) << static_cast<int>(change.to.kind);
        test::finishAnimations(view.get());
        EXPECT_EQ(view->visibleRegion(), arriving) << static_cast<int>(change.to.kind);
    }
}

TEST_F(ContentViewTest, TheShapeFollowsTheOrbAsItSlidesToAnotherEdge)
{
    manager->setAnchorEdge(AnchorEdge::right);
    enter(WidgetPhase::idle());
    QRegion announced;
    QObject::connect(view.get(), &ContentView::visibleRegionChanged, [&](const QRegion& region) { announced = region; });
    manager->setAnchorEdge(AnchorEdge::top);
    for (int step = 0; step < 6; ++step) {
        test::advanceAnimations(view.get(), 40ms);
        EXPECT_EQ(view->visibleRegion(), orbCircle()) << step;
        EXPECT_EQ(announced, orbCircle()) << step;
    }
    EXPECT_NE(centreOf(view->orb()), panelCentre() + orbOffset(AnchorEdge::top)) << "still sliding";
}
