#include "Platform/VipsStartup.h"

#include "Platform/PlatformError.h"

#include <vips/vips8>

namespace vantory {

void ensureVipsStarted()
{
    static const bool started = VIPS_INIT("vantory") == 0;
    if (!started)
        throw PlatformError("The image library could not be started.");
}

} // namespace vantory
