#include "Views/SlimScrollBar.h"

#include <QScrollArea>
#include <QScrollBar>

namespace vantory {

void useSlimScrollBar(QScrollArea* scroll)
{
    // Set on the bar alone: a style sheet on the area would restyle everything inside it.
    scroll->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: 4px; background: transparent; margin: 0; }"
                       "QScrollBar::handle:vertical { background: rgba(0, 0, 0, 40); border-radius: 2px;"
                       " min-height: 24px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}

} // namespace vantory
