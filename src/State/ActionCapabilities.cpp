#include "State/ActionCapabilities.h"

namespace vantory {

ActionCapabilities& ActionCapabilities::current()
{
    static ActionCapabilities capabilities;
    return capabilities;
}

} // namespace vantory
