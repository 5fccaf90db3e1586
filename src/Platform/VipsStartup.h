#pragma once

namespace vantory {

// Starts libvips once per process, from whichever thread asks first, with ImageMagick
// behind it started first (see ImageMagickStartup). libvips keeps no operation from one
// job to the next. Throws PlatformError when the library cannot start.
void ensureVipsStarted();

} // namespace vantory
