#include "Views/Components/Shake.h"

namespace vantory::Shake {

void start(Scheduler& scheduler, QObject* owner, std::function<void(double)> setOffset, const Offsets& steps)
{
    for (std::size_t step = 0; step < steps.size(); ++step)
        scheduler.post(stepInterval * static_cast<int>(step), owner, [setOffset, offset = steps[step]] { setOffset(offset); });
}

} // namespace vantory::Shake
