#pragma once

#include "App/AppDelegate.h"

namespace vantory {

// The real services behind start-up: this desktop's screens, login item, sleep notices,
// temporary folder, browser and event loop.
StartupServices desktopStartupServices();

} // namespace vantory
