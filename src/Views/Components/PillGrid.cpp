#include "Views/Components/PillGrid.h"

#include "Views/Components/FormatPill.h"

#include <algorithm>

namespace vantory {

int PillGrid::columns(int width)
{
    return std::max(1, (width + spacing) / (minimumCellWidth + spacing));
}

PillGrid::PillGrid(const std::vector<ConversionTarget>& targets, std::function<void(const std::string& format)> onSelectFormat,
                   QWidget* parent)
    : QWidget(parent)
{
    setContentsMargins(sidePadding, 0, sidePadding, bottomPadding);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    for (const ConversionTarget& target : targets)
        pills_.push_back(new FormatPill(
            target, [onSelectFormat, format = target.format] { onSelectFormat(format); }, this));
}

QSize PillGrid::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int width = 4 * minimumCellWidth + 3 * spacing + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

int PillGrid::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    const int rows = rowCount(width - margins.left() - margins.right());
    return margins.top() + margins.bottom() + rows * rowHeight() + std::max(0, rows - 1) * spacing;
}

void PillGrid::resizeEvent(QResizeEvent* event)
{
    placePills();
    QWidget::resizeEvent(event);
}

int PillGrid::rowHeight() const
{
    int height = 0;
    for (const FormatPill* pill : pills_)
        height = std::max(height, pill->sizeHint().height());
    return height;
}

int PillGrid::rowCount(int contentWidth) const
{
    const int perRow = columns(contentWidth);
    return (static_cast<int>(pills_.size()) + perRow - 1) / perRow;
}

void PillGrid::placePills()
{
    const QRect area = contentsRect();
    const int perRow = columns(area.width());
    const double cellWidth = (area.width() - (perRow - 1) * spacing) / static_cast<double>(perRow);
    const int height = rowHeight();
    for (std::size_t i = 0; i < pills_.size(); ++i) {
        const int column = static_cast<int>(i) % perRow;
        const int row = static_cast<int>(i) / perRow;
        const int left = area.left() + static_cast<int>(std::lround(column * (cellWidth + spacing)));
        const int right = area.left() + static_cast<int>(std::lround(column * (cellWidth + spacing) + cellWidth));
        pills_[i]->setGeometry(left, area.top() + row * (height + spacing), right - left, height);
    }
}

} // namespace vantory
