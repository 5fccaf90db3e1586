#include "Views/Components/ConvertMenuButton.h"

#include "Views/Components/ActionRow.h"
#include "Views/Components/PillGrid.h"
#include "Views/Components/Shake.h"
#include "Views/QtText.h"
#include "Views/Spring.h"
#include "Views/SubtreeOpacity.h"

#include <QVBoxLayout>
#include <cmath>

namespace vantory {

namespace {

constexpr Spring unfoldingSpring{0.3, 0.85};
// Between the row and the pills; it folds away with the pills.
constexpr int gapAboveGrid = 8;

} // namespace

ConvertMenuButton::ConvertMenuButton(const FileAction& action, std::optional<QString> errorText,
                                     std::function<void(const std::string& format)> onSelectFormat, Scheduler& scheduler,
                                     QWidget* parent)
    : QWidget(parent),
      title_(qtText(action.title)),
      scheduler_(scheduler),
      row_(new ActionRow(action.icon, title_, ActionRow::foldChevron(false), this)),
      grid_(new PillGrid(action.subOptions, std::move(onSelectFormat), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(row_);
    layout->addWidget(grid_);
    QMargins margins = grid_->contentsMargins();
    margins.setTop(gapAboveGrid);
    grid_->setContentsMargins(margins);
    grid_->hide();

    connect(row_, &QAbstractButton::clicked, this, [this] {
        if (!errorText_)
            toggle();
    });
    setErrorText(errorText);
}

void ConvertMenuButton::setErrorText(const std::optional<QString>& errorText)
{
    errorText_ = errorText;
    row_->setTitle(errorText.value_or(title_));
    if (!shakeRule_.shouldShake(errorText))
        return;
    foldAtOnce();
    scheduler_.post(Shake::errorDelay, this,
                    [this] { Shake::start(scheduler_, this, [this](double offset) { row_->setShakeOffset(offset); }); });
}

void ConvertMenuButton::toggle()
{
    expanded_ = !expanded_;
    row_->setTrailingSymbol(ActionRow::foldChevron(expanded_));
    if (unfolding_)
        unfolding_->stop();
    reveal(revealed_);
    grid_->show();
    unfolding_ = animateSpring(this, unfoldingSpring, revealed_, expanded_ ? 1.0 : 0.0,
                               [this](double fraction) { reveal(fraction); });
    connect(unfolding_, &QVariantAnimation::finished, this, [this] {
        if (!expanded_)
            grid_->hide();
    });
}

void ConvertMenuButton::foldAtOnce()
{
    if (unfolding_)
        unfolding_->stop();
    expanded_ = false;
    row_->setTrailingSymbol(ActionRow::foldChevron(false));
    reveal(0);
    grid_->hide();
}

void ConvertMenuButton::reveal(double fraction)
{
    revealed_ = fraction;
    const double shown = std::clamp(fraction, 0.0, 1.0);
    SubtreeOpacity::set(grid_, shown);
    // A spring overshoots: past 1 the grid is simply whole.
    const int fullHeight = grid_->heightForWidth(width());
    grid_->setMaximumHeight(fraction >= 1 ? QWIDGETSIZE_MAX : static_cast<int>(std::ceil(shown * fullHeight)));
}

} // namespace vantory
