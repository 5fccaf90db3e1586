#include "Platform/HeapTuning.h"

#include <malloc.h>

namespace vantory {

void keepFreedHeapForReuse()
{
    // Blocks below 4 MiB come from the heap, and its top is returned only past 16 MiB free.
    constexpr int mapThreshold = 4 << 20;
    constexpr int trimThreshold = 16 << 20;
    mallopt(M_MMAP_THRESHOLD, mapThreshold);
    mallopt(M_TRIM_THRESHOLD, trimThreshold);
}

} // namespace vantory
