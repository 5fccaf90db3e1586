#include "Views/TabOrder.h"

#include <QApplication>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>

namespace vantory::TabOrder {

namespace {

bool isTabStop(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled();
}

std::vector<QWidget*> tabStops(const std::vector<QWidget*>& parts)
{
    std::vector<QWidget*> stops;
    for (QWidget* part : parts) {
        if (isTabStop(part))
            stops.push_back(part);
        // Depth first, each widget before what it holds: a row's header before its section.
        for (QWidget* inside : part->findChildren<QWidget*>())
            if (isTabStop(inside))
                stops.push_back(inside);
    }
    return stops;
}

void scrollIntoView(QWidget* widget)
{
    for (QWidget* above = widget->parentWidget(); above; above = above->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(above))
            scroll->ensureWidgetVisible(widget, 0, 0);
}

} // namespace

bool moveFocus(const std::vector<QWidget*>& parts, bool forward)
{
    const std::vector<QWidget*> stops = tabStops(parts);
    if (stops.empty())
        return false;
    const auto count = static_cast<long>(stops.size());
    const auto current = std::find(stops.begin(), stops.end(), QApplication::focusWidget());
    long next = forward ? 0 : count - 1;
    if (current != stops.end())
        next = ((current - stops.begin()) + (forward ? 1 : -1) + count) % count;
    QWidget* stop = stops[static_cast<std::size_t>(next)];
    stop->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    scrollIntoView(stop);
    return true;
}

} // namespace vantory::TabOrder
