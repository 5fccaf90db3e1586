#pragma once

namespace vantory {

// Keeps freed heap memory for reuse instead of handing it back to the kernel after every
// large block. With the allocator's defaults a job that allocates and frees a few hundred
// KiB per PDF object or archive entry can end up growing and shrinking the heap for each
// one, faulting every page in anew: locking a 100 MB PDF then took twice its time.
// Call once at start-up, before other threads run.
void keepFreedHeapForReuse();

} // namespace vantory
