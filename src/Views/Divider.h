#pragma once

class QWidget;

namespace vantory {

// The hairline between a card's parts: 1 px of the border colour, inset from the card's sides.
QWidget* divider(QWidget* parent = nullptr);

} // namespace vantory
