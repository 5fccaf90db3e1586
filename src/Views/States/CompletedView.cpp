#include "Views/States/CompletedView.h"

#include "Views/Theme.h"

namespace vantory {

CompletedView::CompletedView(QWidget* parent) : ResultCard({Theme::accent(), "checkmark", 28, tr("Done"), Theme::TextSize::title1}, parent)
{
}

} // namespace vantory
