#include "Views/Typography.h"

#include "Views/Icons.h"
#include "Views/Labels.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>

namespace vantory::Typography {

namespace {

QFont sized(QFont font, int pixelSize, QFont::Weight weight)
{
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace

QFont font(int pixelSize, QFont::Weight weight)
{
    return sized(QApplication::font(), pixelSize, weight);
}

QFont monospaced(int pixelSize, QFont::Weight weight)
{
    return sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), pixelSize, weight);
}

QFont symbol(int pixelSize, QFont::Weight weight)
{
    return sized(Icons::font(pixelSize), pixelSize, weight);
}

QLabel* label(const QString& text, const QFont& font, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    setTextColour(label, colour);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    Labels::setColour(label, colour);
}

} // namespace vantory::Typography
