#include "Views/Labels.h"

#include <QLabel>

namespace vantory::Labels {

QLabel* make(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setColour(label, colour);
    return label;
}

void setColour(QLabel* label, const QColor& colour)
{
    // Inside a button a label would otherwise take the button's text role and ignore this.
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace vantory::Labels
