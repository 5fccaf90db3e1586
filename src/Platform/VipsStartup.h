#pragma once

namespace vantory {

// Starts libvips once per process, from whichever thread asks first; throws
// PlatformError when the library cannot start.
void ensureVipsStarted();

} // namespace vantory
