#include "Views/TabOrder.h"

#include <QWidget>

namespace vantory::TabOrder {

namespace {

bool takesTabFocus(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) != 0;
}

} // namespace

void follow(const std::vector<QWidget*>& parts)
{
    std::vector<QWidget*> stops;
    for (QWidget* part : parts) {
        if (takesTabFocus(part))
            stops.push_back(part);
        // Depth first, each widget before what it holds: a row's header before its section.
        for (QWidget* inside : part->findChildren<QWidget*>())
            if (takesTabFocus(inside))
                stops.push_back(inside);
    }
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}

} // namespace vantory::TabOrder
