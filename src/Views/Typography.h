#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

class QLabel;
class QWidget;

// How the cards set their text: the interface face at logical pixel sizes, and labels in
// a colour of the palette.
namespace vantory {
class SymbolLabel;
}

namespace vantory::Typography {

QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
// The monospaced face, for figures that should not shift sideways as they change.
QFont monospaced(int pixelSize, QFont::Weight weight = QFont::Normal);
// The icon face, for glyphs of Icons.
QFont icon(int pixelSize, QFont::Weight weight = QFont::Normal);

QLabel* label(const QString& text, const QFont& font, const QColor& colour, QWidget* parent);
// Plain text from the start of the line, wrapping: a row's title and what it says under it.
QLabel* rowLabel(const QString& text, const QFont& font, const QColor& colour, QWidget* parent);
// A symbol of Icons, centred like a label, that assistive tools pass over.
SymbolLabel* symbol(const std::string& symbolName, const QFont& font, const QColor& colour, QWidget* parent);
void setTextColour(QLabel* label, const QColor& colour);

} // namespace vantory::Typography
