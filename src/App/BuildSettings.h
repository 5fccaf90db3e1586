#pragma once

#include "App/AppDelegate.h"

namespace vantory {

// The values this build was configured with.
BuildSettings buildSettings();

} // namespace vantory
