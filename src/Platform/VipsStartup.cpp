#include "Platform/VipsStartup.h"

#include "Platform/ImageMagickStartup.h"
#include "Platform/PlatformError.h"

#include <vips/vips8>

namespace vantory {

void ensureVipsStarted()
{
    ImageMagickStartup::start();
    static const bool started = [] {
        if (VIPS_INIT("vantory") != 0)
            return false;
        // Nothing is kept between jobs: a job's images, and the decoders and pixel caches
        // behind them, are released as soon as the job lets go of them.
        vips_cache_set_max(0);
        return true;
    }();
    if (!started)
        throw PlatformError("The image library could not be started.");
}

} // namespace vantory
