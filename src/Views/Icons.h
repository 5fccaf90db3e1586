#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <vector>

// The symbols the cards and rows draw, by their symbol names ("photo.fill", "chevron.right"),
// as glyphs of the Material Icons font. A glyph takes the colour of the pen that draws it.
namespace vantory::Icons {

// The icon face at a pixel size.
QFont font(int pixelSize);

// The glyph for a symbol name; a neutral placeholder glyph for a name the table lacks.
QString glyph(const std::string& symbolName);

bool knows(const std::string& symbolName);
std::vector<std::string> knownNames();

} // namespace vantory::Icons
