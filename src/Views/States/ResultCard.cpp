#include "Views/States/ResultCard.h"

#include "Views/Spring.h"
#include "Views/States/ResultBadge.h"
#include "Views/Theme.h"
#include "Views/Typography.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace vantory {

namespace {

constexpr int spacing = 14;
constexpr Spring popInSpring{0.4, 0.6};
constexpr double startScale = 0.3;

} // namespace

ResultCard::ResultCard(const Look& look, QWidget* parent)
    : StateCard(parent),
      badge_(new ResultBadge(look.tint, look.symbolName, look.symbolPixelSize)),
      titleColour_(Theme::textPrimary())
{
    title_ = Typography::label(look.title, Typography::font(look.titlePixelSize, QFont::Bold), titleColour_, nullptr);

    // The badge's room for the overshoot is taken out of the spacing around it.
    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch();
    column->addSpacing(spacing - ResultBadge::overshootRoom);
    column->addWidget(badge_, 0, Qt::AlignHCenter);
    column->addSpacing(spacing - ResultBadge::overshootRoom);
    belowBadge_ = new QVBoxLayout;
    belowBadge_->setSpacing(spacing);
    belowBadge_->addWidget(title_, 0, Qt::AlignHCenter);
    column->addLayout(belowBadge_);
    column->addSpacing(spacing);
    column->addStretch();
    appear(0);
}

void ResultCard::addBelowTitle(QWidget* part)
{
    belowBadge_->addWidget(part);
}

void ResultCard::appear(double progress)
{
    const double opacity = opacityAt(progress);
    badge_->setAppearance(startScale + (1 - startScale) * progress, opacity);
    Typography::setTextColour(title_, Theme::withOpacity(titleColour_, opacity));
}

double ResultCard::opacityAt(double progress)
{
    return std::clamp(progress, 0.0, 1.0);
}

void ResultCard::showEvent(QShowEvent* event)
{
    StateCard::showEvent(event);
    if (popIn_ != nullptr)
        return;
    popIn_ = animateSpring(this, popInSpring, 0, 1, [this](double progress) { appear(progress); });
}

} // namespace vantory
