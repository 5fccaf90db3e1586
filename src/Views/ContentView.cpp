#include "Views/ContentView.h"

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/ActionView.h"
#include "Views/EdgeOffsets.h"
#include "Views/Spring.h"
#include "Views/States/CompletedView.h"
#include "Views/States/ConvertingView.h"
#include "Views/States/DonationView.h"
#include "Views/States/DropZoneView.h"
#include "Views/States/IdleOrbView.h"
#include "Views/States/PartialSuccessView.h"
#include "Views/States/ProcessingView.h"
#include "Views/States/SummarizingView.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGraphicsOpacityEffect>
#include <algorithm>

namespace vantory {
namespace {

constexpr Spring stateSpring{0.4, 0.8};
constexpr Spring edgeSpring{0.35, 0.85};
constexpr double orbScaleOutsideIdle = 0.65;
const QString fadeInName = QStringLiteral("fade in");

std::optional<QString> qtText(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    return QString::fromStdString(*text);
}

// The card's opacity, as a graphics effect: the chassis paints its own shadow, so the
// card's one effect slot is free for this.
void setCardOpacity(StateCard* card, double opacity)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(card->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(card);
        card->setGraphicsEffect(effect);
    }
    effect->setOpacity(std::clamp(opacity, 0.0, 1.0));
}

void centreOn(QWidget* widget, QPointF point)
{
    widget->move((point - QPointF(widget->width(), widget->height()) / 2).toPoint());
}

} // namespace

ContentView::ContentView(WidgetStateManager& stateManager, QWidget* parent, Scheduler& scheduler)
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
    if (card_) {
        // A leaving card shows what it showed until it is gone.
        disconnect(&stateManager_, nullptr, card_, nullptr);
        if (cardTransition_ == CardTransition::fade)
            fadeOut(card_);
        else {
            card_->hide();
            card_->deleteLater();
        }
    }
    cardKind_ = choice.kind;
    cardTransition_ = choice.transition;
    card_ = makeCard(choice.kind);
    if (!card_)
        return;
    connect(card_, &StateCard::cardResized, this, [this] {
        placeChildren();
        announceVisibleRegion();
    });
    placeChildren();
    card_->show();
    card_->raise();
    if (choice.transition == CardTransition::fade)
        fadeIn(card_);
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
    case CardKind::partialSuccess: return new PartialSuccessView(QString::fromStdString(stateManager_.state().summary), this);
    case CardKind::actions: return new ActionView(stateManager_, scheduler_, this);
    case CardKind::donation: return makeDonationCard();
    case CardKind::summarizing: return new SummarizingView(stateManager_, scheduler_, this);
    }
    return nullptr;
}

StateCard* ContentView::makeDonationCard()
{
    auto openUrl = openUrl_ ? openUrl_ : [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return new DonationView(
        tipPageHost_, std::move(openUrl),
        [this] {
            stateManager_.setShowDonation(false);
            stateManager_.completeAndShowRemaining();
        },
        this);
}

void ContentView::fadeOut(StateCard* card)
{
    card->setAttribute(Qt::WA_TransparentForMouseEvents);
    // A card that goes while still fading in fades out from where it is.
    double from = 1;
    if (auto* fadingIn = card->findChild<QVariantAnimation*>(fadeInName, Qt::FindDirectChildrenOnly)) {
        fadingIn->stop();
        if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(card->graphicsEffect()))
            from = effect->opacity();
    }
    // The card goes, with everything it kept, once it has faded; its animation goes with it.
    QVariantAnimation* fade = animateSpring(card, stateSpring, from, 0,
                                            [card](double opacity) { setCardOpacity(card, opacity); });
    connect(fade, &QAbstractAnimation::finished, card, &QObject::deleteLater);
}

void ContentView::fadeIn(StateCard* card)
{
    QVariantAnimation* fade = animateSpring(card, stateSpring, 0, 1, [card](double opacity) { setCardOpacity(card, opacity); });
    fade->setObjectName(fadeInName);
    // A faded-in card no longer needs its effect, which renders it through an offscreen buffer.
    connect(fade, &QAbstractAnimation::finished, card, [card] { card->setGraphicsEffect(nullptr); });
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
    connect(orbChange_, &QAbstractAnimation::finished, orb_, [this, to] { orb_->setVisible(to > 0); });
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
}

QRegion ContentView::visibleRegion() const
{
    // Where the orb or card comes to rest, so the mask is right before a slide ends.
    const QPointF rest = centre();
    const AnchorEdge edge = stateManager_.anchorEdge();
    if (cardKind_ == CardKind::none) {
        QRectF circle(0, 0, IdleOrbView::orbSide, IdleOrbView::orbSide);
        circle.moveCenter(rest + orbOffset(edge));
        return QRegion(circle.toRect(), QRegion::Ellipse);
    }
    QRectF card(QPointF(), card_ ? card_->cardRect().size() : QSize(Theme::cardSide, Theme::cardSide));
    card.moveCenter(rest + cardOffset(towardEdge(edge), card.size()));
    return QRegion(card.toRect());
}

void ContentView::announceVisibleRegion()
{
    Q_EMIT visibleRegionChanged(visibleRegion());
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeChildren();
    announceVisibleRegion();
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
