#include "Views/Typography.h"

#include "Views/Icons.h"
#include "Views/SymbolLabel.h"

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
    // One face on every desktop (bootstrap installs it), so the cards' text fits as designed.
    static const QFont face(QStringLiteral("DejaVu Sans"));
    return sized(face, pixelSize, weight);
}

QFont monospaced(int pixelSize, QFont::Weight weight)
{
    return sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), pixelSize, weight);
}

QFont icon(int pixelSize, QFont::Weight weight)
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

QLabel* rowLabel(const QString& text, const QFont& font, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setWordWrap(true);
    setTextColour(label, colour);
    return label;
}

SymbolLabel* symbol(const std::string& symbolName, const QFont& font, const QColor& colour, QWidget* parent)
{
    auto* symbol = new SymbolLabel(symbolName, font, parent);
    symbol->setAlignment(Qt::AlignCenter);
    setTextColour(symbol, colour);
    return symbol;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    // Inside a button a label would otherwise take the button's text role and ignore this.
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace vantory::Typography
