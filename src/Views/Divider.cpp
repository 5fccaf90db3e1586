#include "Views/Divider.h"

#include "Views/Theme.h"

#include <QFrame>
#include <QHBoxLayout>

namespace vantory {

QWidget* divider(QWidget* parent)
{
    auto* area = new QWidget(parent);
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(Theme::Spacing::rowInset, 0, Theme::Spacing::rowInset, 0);
    auto* line = new QFrame(area);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Theme::border());
    line->setPalette(palette);
    layout->addWidget(line);
    return area;
}

} // namespace vantory
