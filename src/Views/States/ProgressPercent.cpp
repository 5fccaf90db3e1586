#include "Views/States/ProgressPercent.h"

namespace vantory {

int progressPercent(int current, int total)
{
    if (total <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(current) * 100 / total);
}

} // namespace vantory
