#pragma once

#include <QFont>
#include <string>

// The faces the rows, tabs and pills draw with, sized in logical pixels.
namespace vantory::Typography {

QFont text(int pixelSize, QFont::Weight weight);
QFont monospaced(int pixelSize, QFont::Weight weight);
QFont icon(int pixelSize, QFont::Weight weight);

} // namespace vantory::Typography
