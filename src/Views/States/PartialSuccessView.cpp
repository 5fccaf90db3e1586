#include "Views/States/PartialSuccessView.h"

#include "Views/States/SummaryCapsule.h"
#include "Views/Theme.h"

namespace vantory {

namespace {

// Keeps a wide capsule off the card's border line.
constexpr int capsuleSideRoom = 8;

} // namespace

PartialSuccessView::PartialSuccessView(const QString& summary, QWidget* parent)
    : ResultCard({Theme::amber(), "exclamationmark.triangle.fill", 26, tr("Partially Completed"), 17}, parent),
      summary_(new SummaryCapsule(summary, Theme::amber()))
{
    summary_->setContentsMargins(capsuleSideRoom, 0, capsuleSideRoom, 0);
    addBelowTitle(summary_);
    appear(0);
}

void PartialSuccessView::appear(double progress)
{
    ResultCard::appear(progress);
    summary_->setOpacity(opacityAt(progress));
}

} // namespace vantory
