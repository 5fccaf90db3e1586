#pragma once

#include "Platform/Scheduler.h"
#include "State/WidgetPhase.h"
#include "Views/CardChoice.h"
#include "Views/States/StateCard.h"

#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QUrl>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <vector>

namespace vantory {

class CardGhost;
class IdleOrbView;
class WidgetStateManager;

// What the panel shows: the idle orb or the card of the current phase, pushed toward the
// edge the panel is docked to. The action and summary cards follow the state manager
// themselves; the others get values and callbacks from this view. A card that leaves stays,
// as a picture, under the one that takes its place until that one is whole, and fades where
// it is not covered. It tells the panel which part of it is drawn, frame by frame.
class ContentView final : public QWidget {
    Q_OBJECT

public:
    ContentView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent = nullptr);

    // What the orb, the card and the cards still leaving cover where they are drawn now, in
    // this view's coordinates.
    QRegion visibleRegion() const;

    // The shell's quit path, offered by the context menu.
    std::function<void()> onQuit;
    // A submenu the context menu offers too (the settings while there is no tray), or none.
    void setExtraMenu(QMenu* menu) { extraMenu_ = menu; }
    // The donation card's tip page (its address without "https://"; none: no page) and
    // how it is opened (the desktop's browser when none).
    void setTipPage(QString host, std::function<void(const QUrl&)> openUrl = {})
    {
        tipPageHost_ = std::move(host);
        openUrl_ = std::move(openUrl);
    }

    IdleOrbView* orb() const { return orb_; }
    // The card of the current phase; none in idle.
    StateCard* card() const { return card_; }
    CardKind cardKind() const { return cardKind_; }
    // The cards that have left and are still drawn, oldest first.
    std::vector<CardGhost*> ghosts() const;

Q_SIGNALS:
    void visibleRegionChanged(const QRegion& region);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void followState();
    void followEdge();
    void followInlineError();
    void replaceCard(CardChoice choice);
    StateCard* makeCard(CardKind kind);
    StateCard* makeDonationCard();
    void leave(StateCard* card, CardTransition transition);
    void keepPictureOf(StateCard& card, bool fadesOut);
    void fadeIn(StateCard* card);
    void coverGhosts();
    void retireGhosts();
    void updateProgress();
    void animateOrbPresence(double to);
    void placeChildren();
    void announceVisibleRegion();
    QPointF centre() const;

    WidgetStateManager& stateManager_;
    Scheduler& scheduler_;
    IdleOrbView* orb_;
    QPointer<StateCard> card_;
    std::vector<QPointer<CardGhost>> ghosts_;
    QRegion announcedRegion_;
    CardKind cardKind_ = CardKind::none;
    CardTransition cardTransition_ = CardTransition::none;
    // The unit step toward the docked edge, sliding from one edge to the next.
    QPointF edgeDirection_;
    // 1 in idle, 0 elsewhere: the orb's size and opacity follow it.
    double orbPresence_ = 1;
    QPointer<QVariantAnimation> edgeSlide_;
    QPointer<QVariantAnimation> orbChange_;
    QPointer<QMenu> extraMenu_;
    QString tipPageHost_;
    std::function<void(const QUrl&)> openUrl_;
};

} // namespace vantory
