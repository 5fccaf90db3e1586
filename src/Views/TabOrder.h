#pragma once

#include <vector>

class QWidget;

// Tab through a card as it is seen. Qt goes by the order widgets were made in, so rows made
// for a new tab, or a banner made with the card, would come in the wrong place; a card calls
// this from its focusNextPrevChild instead.
namespace vantory::TabOrder {

// Gives the focus to the control after (or before) the focused one among `parts`, in their
// order, each part's controls (the part itself when it takes the focus) in the order they
// are laid out; from the last it wraps to the first. Controls that are hidden or disabled
// are passed over, and a control inside a scroll area is scrolled into view.
bool moveFocus(const std::vector<QWidget*>& parts, bool forward);

} // namespace vantory::TabOrder
