#include "Views/States/IdleOrbView.h"

#include "Views/Spring.h"
#include "Views/States/OrbArt.h"
#include "Views/Theme.h"
#include "Views/TimingCurves.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>

namespace vantory {
namespace {

constexpr int side = IdleOrbView::orbSide + 2 * Theme::CardShadow::margin;
constexpr double appearStartScale = 0.4;
constexpr Spring appearSpring{0.45, 0.7};
constexpr int hoverMs = 200;
// Art drawn at this many pixels per logical pixel stays sharp on dense screens and when hovered.
constexpr int artDensity = 3;

} // namespace

IdleOrbView::IdleOrbView(QWidget* parent) : QWidget(parent), art_(orbArt(orbSide * artDensity))
{
    setFixedSize(side, side);
    setAccessibleName(tr("Drop files here"));
}

QRect IdleOrbView::orbRect() const
{
    const int m = Theme::CardShadow::margin;
    return QRect(m, m, orbSide, orbSide);
}

void IdleOrbView::setPresence(double scale, double opacity)
{
    presenceScale_ = scale;
    presenceOpacity_ = std::clamp(opacity, 0.0, 1.0);
    update();
}

double IdleOrbView::drawnScale() const
{
    const double appearScale = appearStartScale + (1 - appearStartScale) * appeared_;
    return presenceScale_ * hoverScale_ * appearScale;
}

double IdleOrbView::drawnOpacity() const
{
    return presenceOpacity_ * std::clamp(appeared_, 0.0, 1.0);
}

void IdleOrbView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (hasAppeared_)
        return;
    hasAppeared_ = true;
    animateSpring(this, appearSpring, 0, 1, [this](double value) {
        appeared_ = value;
        update();
    });
}

void IdleOrbView::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    hoverTo(hoverScale);
}

void IdleOrbView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    hoverTo(1);
}

void IdleOrbView::hoverTo(double scale)
{
    if (hover_)
        hover_->stop();
    auto* animation = new QVariantAnimation(this);
    hover_ = animation;
    animation->setStartValue(hoverScale_);
    animation->setEndValue(scale);
    animation->setDuration(hoverMs);
    animation->setEasingCurve(TimingCurves::easeOut());
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        hoverScale_ = value.toDouble();
        update();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void IdleOrbView::paintEvent(QPaintEvent*)
{
    const double opacity = drawnOpacity();
    if (opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(opacity);
    const QPointF centre = QRectF(orbRect()).center();
    painter.translate(centre);
    painter.scale(drawnScale(), drawnScale());
    painter.translate(-centre);

    const QRectF circle = orbRect();
    Theme::CardShadow::paint(painter, circle, orbSide / 2.0);
    QPainterPath clip;
    clip.addEllipse(circle);
    painter.setClipPath(clip);
    painter.drawImage(circle, art_);
}

} // namespace vantory
