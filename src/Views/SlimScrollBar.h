#pragma once

class QScrollArea;

namespace vantory {

// Gives `scroll` the cards' slim vertical bar, which keeps out of the content's way and
// shows only while the content overflows.
void useSlimScrollBar(QScrollArea* scroll);

} // namespace vantory
