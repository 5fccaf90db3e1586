#pragma once

#include <cstddef>

// A file mapped into memory that another program shortens while it is read would stop
// this process with a bus error at the first page past the new end. While a range is
// watched, such a page is replaced by one of zeros instead, and the range is marked cut
// short, so that the reader can refuse what it made of those bytes.
namespace vantory::ShrinkingFileGuard {

// Watches [start, start + length); returns the slot to ask and release, or -1 when too
// many ranges are watched at once (the caller then reads without mapping).
int watch(const void* start, std::size_t length);
bool cutShort(int slot);
// Stops watching; called before the range is unmapped.
void release(int slot);

} // namespace vantory::ShrinkingFileGuard
