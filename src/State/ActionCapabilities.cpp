#include "State/ActionCapabilities.h"

#include "Converters/Image/ImageWriters.h"

namespace vantory {

ActionCapabilities& ActionCapabilities::current()
{
    static ActionCapabilities capabilities{.canWriteAVIF = ImageWriters::canWriteAVIF()};
    return capabilities;
}

} // namespace vantory
