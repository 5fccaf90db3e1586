#include "Views/Components/Shake.h"

namespace vantory::Shake {

void start(Scheduler& scheduler, QObject* owner, std::function<void(double)> setOffset)
{
    for (std::size_t step = 0; step < offsets.size(); ++step)
        scheduler.post(stepInterval * static_cast<int>(step), owner, [setOffset, step] { setOffset(offsets[step]); });
}

} // namespace vantory::Shake
