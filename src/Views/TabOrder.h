#pragma once

#include <vector>

class QWidget;

namespace vantory::TabOrder {

// Makes Tab go through `parts` in the order given, which is the order they are seen in:
// each part's own controls (the part itself when it takes the focus) in the order they
// were laid out. Widgets made later would otherwise come last, wherever they are shown.
void follow(const std::vector<QWidget*>& parts);

} // namespace vantory::TabOrder
