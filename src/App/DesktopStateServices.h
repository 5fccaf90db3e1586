#pragma once

#include "State/WidgetStateManager.h"

namespace vantory {

// The real services behind the state manager: the conversion router, the Qt timers, the
// shared settings, this desktop's folders and Trash, the telemetry client, payloads built
// from the files themselves and the system's language model.
WidgetStateServices desktopStateServices();

} // namespace vantory
