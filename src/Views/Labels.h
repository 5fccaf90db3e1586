#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

namespace vantory::Labels {

// A centred label in the panel's text face at a pixel size, weight and colour.
QLabel* make(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour, QWidget* parent);

void setColour(QLabel* label, const QColor& colour);

} // namespace vantory::Labels
