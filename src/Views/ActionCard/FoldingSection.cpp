#include "Views/ActionCard/FoldingSection.h"

#include "Views/Spring.h"
#include "Views/SubtreeOpacity.h"

#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vantory {

namespace {

constexpr Spring foldingSpring{0.3, 0.85};

} // namespace

FoldingSection::FoldingSection(QWidget* parent)
    : QWidget(parent),
      layout_(new QVBoxLayout(this))
{
    layout_->setContentsMargins(4, 0, 4, 4);
    layout_->setSpacing(6);
    reveal(0);
    hide();
}

void FoldingSection::unfold()
{
    unfolded_ = true;
    springTo(1);
}

void FoldingSection::fold()
{
    unfolded_ = false;
    springTo(0);
}

void FoldingSection::foldAtOnce()
{
    if (spring_)
        spring_->stop();
    unfolded_ = false;
    reveal(0);
    hideFromLayout();
}

void FoldingSection::hideFromLayout()
{
    hide();
    // Hiding tells the row's own layout, but not the one the row sits in, that the row is
    // shorter now.
    if (QWidget* row = parentWidget())
        row->updateGeometry();
}

void FoldingSection::springTo(double fraction)
{
    if (spring_)
        spring_->stop();
    reveal(revealed_);
    show();
    spring_ = animateSpring(this, foldingSpring, revealed_, fraction, [this](double value) { reveal(value); });
    connect(spring_, &QVariantAnimation::finished, this, [this] {
        if (!unfolded_)
            hideFromLayout();
    });
}

void FoldingSection::reveal(double fraction)
{
    revealed_ = fraction;
    const double shown = std::clamp(fraction, 0.0, 1.0);
    SubtreeOpacity::set(this, shown);
    // A spring overshoots: past 1 the section is simply whole.
    const int fullHeight = layout_->totalSizeHint().height();
    setMaximumHeight(fraction >= 1 ? QWIDGETSIZE_MAX : static_cast<int>(std::ceil(shown * fullHeight)));
}

} // namespace vantory
