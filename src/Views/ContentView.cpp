#include "Views/ContentView.h"

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/ActionView.h"
#include "Views/CardGhost.h"
#include "Views/EdgeOffsets.h"
#include "Views/KeyboardFocus.h"
#include "Views/QtText.h"
#include "Views/Spring.h"
#include "Views/States/CompletedView.h"
#include "Views/States/ConvertingView.h"
#include "Views/States/DonationView.h"
#include "Views/States/DropZoneView.h"
#include "Views/States/IdleOrbView.h"
#include "Views/States/PartialSuccessView.h"
#include "Views/States/ProcessingView.h"
#include "Views/States/SummarizingView.h"
#include "Views/SubtreeOpacity.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <algorithm>

namespace vantory {
namespace {

constexpr Spring stateSpring{0.4, 0.8};
constexpr Spring edgeSpring{0.35, 0.85};
constexpr double orbScaleOutsideIdle = 0.65;
const QString fadeInName = QStringLiteral("fade in");

void centreOn(QWidget* widget, QPointF point)
{
    widget->move((point - QPointF(widget->width(), widget->height()) / 2).toPoint());
}

} // namespace

ContentView::ContentView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent),
      stateManager_(stateManager),
      scheduler_(scheduler),
      orb_(new IdleOrbView(this)),
      edgeDirection_(towardEdge(stateManager.anchorEdge()))
{
    connect(&stateManager_, &WidgetStateManager::stateChanged, this, &ContentView::followState);
    connect(&stateManager_, &WidgetStateManager::showDonationChanged, this, &ContentView::followState);
    connect(&stateManager_, &WidgetStateManager::anchorEdgeChanged, this, &ContentView::followEdge);
    connect(&stateManager_, &WidgetStateManager::inlineErrorChanged, this, &ContentView::followInlineError);

    const bool idle = stateManager_.state().is(WidgetPhase::Kind::idle);
    orbPresence_ = idle ? 1 : 0;
    orb_->setPresence(idle ? 1 : orbScaleOutsideIdle, orbPresence_);
    orb_->setAttribute(Qt::WA_TransparentForMouseEvents, !idle);
    orb_->setVisible(idle);
    replaceCard(cardFor(stateManager_.state().kind, stateManager_.showDonation()));
    placeChildren();
}

void ContentView::followState()
{
    const CardChoice choice = cardFor(stateManager_.state().kind, stateManager_.showDonation());
    if (choice.kind != cardKind_)
        replaceCard(choice);
    else
        updateProgress();

    const bool idle = choice.kind == CardKind::none;
    orb_->setAttribute(Qt::WA_TransparentForMouseEvents, !idle);
    animateOrbPresence(idle ? 1 : 0);
    announceVisibleRegion();
}

void ContentView::followEdge()
{
    if (edgeSlide_)
        edgeSlide_->stop();
    const QPointF from = edgeDirection_;
    const QPointF to = towardEdge(stateManager_.anchorEdge());
    edgeSlide_ = animateSpring(this, edgeSpring, 0, 1, [this, from, to](double progress) {
        edgeDirection_ = from + (to - from) * progress;
        placeChildren();
    });
    announceVisibleRegion();
}

void ContentView::followInlineError()
{
    if (auto* dropZone = qobject_cast<DropZoneView*>(card_.data()))
        dropZone->setInlineError(qtText(stateManager_.inlineError()));
}

void ContentView::replaceCard(CardChoice choice)
{
    // Nothing is left to type into.
    handKeyboardBack(this);
    StateCard* leaving = card_;
    const CardTransition leavingTransition = cardTransition_;
    if (leaving)
        disconnect(&stateManager_, nullptr, leaving, nullptr);
    cardKind_ = choice.kind;
    cardTransition_ = choice.transition;
    // Made before either fade starts: building a card takes a moment, which the fades would
    // otherwise skip on their first frame.
    card_ = makeCard(choice.kind);
    if (leaving)
        leave(leaving, leavingTransition);
    if (card_) {
        connect(card_, &StateCard::cardResized, this, &ContentView::placeChildren);
        card_->show();
        card_->raise();
        if (choice.transition == CardTransition::fade)
            fadeIn(card_);
    }
    placeChildren();
    retireGhosts();
}

StateCard* ContentView::makeCard(CardKind kind)
{
    switch (kind) {
    case CardKind::none: return nullptr;
    case CardKind::dropZone: {
        auto* dropZone = new DropZoneView(this);
        dropZone->setInlineError(qtText(stateManager_.inlineError()));
        return dropZone;
    }
    case CardKind::processing: return new ProcessingView(this);
    case CardKind::converting: {
        const WidgetPhase& phase = stateManager_.state();
        return new ConvertingView(
            phase.current, phase.total, [this] { stateManager_.cancelConversion(); }, this);
    }
    case CardKind::completed: return new CompletedView(this);
    case CardKind::partialSuccess: return new PartialSuccessView(qtText(stateManager_.state().summary), this);
    case CardKind::actions: return new ActionView(stateManager_, scheduler_, this);
    case CardKind::donation: return makeDonationCard();
    case CardKind::summarizing: return new SummarizingView(stateManager_, scheduler_, this);
    }
    return nullptr;
}

StateCard* ContentView::makeDonationCard()
{
    auto openUrl = openUrl_ ? openUrl_ : [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return new DonationView(tipPageHost_, std::move(openUrl), [this] { stateManager_.dismissDonation(); }, this);
}

void ContentView::leave(StateCard* card, CardTransition transition)
{
    // A card that goes while still fading in fades out from where it is.
    if (auto* fadingIn = card->findChild<QVariantAnimation*>(fadeInName, Qt::FindDirectChildrenOnly))
        fadingIn->stop();
    // A card that goes at once leaves a picture only for a card that fades in over it.
    const bool fadesOut = transition == CardTransition::fade;
    if (fadesOut || (card_ && cardTransition_ == CardTransition::fade))
        keepPictureOf(*card, fadesOut);
    // The card goes at once, with everything it kept; its picture stays for it.
    card->hide();
    card->deleteLater();
}

void ContentView::keepPictureOf(StateCard& card, bool fadesOut)
{
    auto* ghost = new CardGhost(card, SubtreeOpacity::of(&card), this);
    ghost->stackUnder(orb_);
    ghost->show();
    ghosts_.push_back(ghost);
    if (!fadesOut) {
        ghost->setFade(0);
        return;
    }
    QVariantAnimation* fade = animateSpring(ghost, stateSpring, ghost->fade(), 0, [ghost](double opacity) { ghost->setFade(opacity); });
    connect(fade, &QAbstractAnimation::finished, this, &ContentView::retireGhosts);
}

void ContentView::fadeIn(StateCard* card)
{
    QVariantAnimation* fade = animateSpring(card, stateSpring, 0, 1, [card](double opacity) { SubtreeOpacity::set(card, opacity); });
    fade->setObjectName(fadeInName);
    connect(fade, &QAbstractAnimation::finished, this, [this, card] {
        card->shownWhole();
        retireGhosts();
    });
}

// A ghost goes once it has faded where nothing covers it and the card over it is whole.
void ContentView::retireGhosts()
{
    const bool covered = !card_ || SubtreeOpacity::of(card_) >= 1;
    std::erase_if(ghosts_, [covered](const QPointer<CardGhost>& ghost) {
        if (ghost && !(covered && ghost->hasFaded()))
            return false;
        // Later: this may run in the signal of the ghost's own fade.
        if (ghost) {
            ghost->hide();
            ghost->deleteLater();
        }
        return true;
    });
    announceVisibleRegion();
}

void ContentView::coverGhosts()
{
    QPainterPath cover;
    if (card_)
        cover.addRoundedRect(QRectF(card_->cardRect().translated(card_->pos())), Theme::cardCornerRadius, Theme::cardCornerRadius);
    for (const auto& ghost : ghosts_)
        if (ghost)
            ghost->setCover(cover.translated(-QPointF(ghost->pos())));
}

std::vector<CardGhost*> ContentView::ghosts() const
{
    std::vector<CardGhost*> shown;
    for (const auto& ghost : ghosts_)
        if (ghost)
            shown.push_back(ghost);
    return shown;
}

void ContentView::updateProgress()
{
    if (auto* converting = qobject_cast<ConvertingView*>(card_.data()))
        converting->setProgress(stateManager_.state().current, stateManager_.state().total);
}

void ContentView::animateOrbPresence(double to)
{
    if (orbChange_)
        orbChange_->stop();
    if (orbPresence_ == to)
        return;
    // Hidden once faded out, so that it is not offered to assistive tools while unseen.
    if (to > 0)
        orb_->show();
    orbChange_ = animateSpring(this, stateSpring, orbPresence_, to, [this](double presence) {
        orbPresence_ = presence;
        orb_->setPresence(orbScaleOutsideIdle + (1 - orbScaleOutsideIdle) * presence, presence);
    });
    connect(orbChange_, &QAbstractAnimation::finished, orb_, [this, to] {
        orb_->setVisible(to > 0);
        announceVisibleRegion();
    });
}

QPointF ContentView::centre() const
{
    return QRectF(rect()).center();
}

void ContentView::placeChildren()
{
    centreOn(orb_, centre() + edgeDirection_ * orbDistanceFromCentre);
    if (card_)
        centreOn(card_, centre() + cardOffset(edgeDirection_, card_->cardRect().size()));
    for (const auto& ghost : ghosts_)
        if (ghost)
            centreOn(ghost, centre() + cardOffset(edgeDirection_, ghost->cardRect().size()));
    coverGhosts();
    announceVisibleRegion();
}

QRegion ContentView::visibleRegion() const
{
    // Where things are drawn now: the panel's shape follows the orb as it slides to another
    // edge, and keeps a leaving card until it has faded.
    QRegion region;
    if (!orb_->isHidden())
        region += QRegion(orb_->orbRect().translated(orb_->pos()), QRegion::Ellipse);
    for (const auto& ghost : ghosts_)
        if (ghost)
            region += ghost->cardRect().translated(ghost->pos());
    if (card_)
        region += card_->cardRect().translated(card_->pos());
    return region;
}

void ContentView::announceVisibleRegion()
{
    const QRegion region = visibleRegion();
    if (region == announcedRegion_)
        return;
    announcedRegion_ = region;
    Q_EMIT visibleRegionChanged(region);
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}

void ContentView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu;
    if (extraMenu_)
        menu.addMenu(extraMenu_);
    menu.addAction(tr("Quit Vantory"), this, [this] {
        if (onQuit)
            onQuit();
    });
    menu.exec(event->globalPos());
}

} // namespace vantory
