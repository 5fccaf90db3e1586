#include "Views/Components/Typography.h"

#include "Views/Icons.h"

#include <QFontDatabase>

namespace vantory::Typography {

namespace {

QFont sized(QFont font, int pixelSize, QFont::Weight weight)
{
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace

QFont text(int pixelSize, QFont::Weight weight)
{
    return sized(QFont(), pixelSize, weight);
}

QFont monospaced(int pixelSize, QFont::Weight weight)
{
    return sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), pixelSize, weight);
}

QFont icon(int pixelSize, QFont::Weight weight)
{
    return sized(Icons::font(pixelSize), pixelSize, weight);
}

} // namespace vantory::Typography
