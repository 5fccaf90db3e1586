#pragma once

#include "Platform/FreeSpace.h"

namespace vantory::test {

// Puts a test's own free-space figures in place of the file system's, and puts the file
// system's back afterwards.
class FreeSpaceOverride {
public:
    explicit FreeSpaceOverride(FreeSpace::Reading reading) : saved_(FreeSpace::reading())
    {
        FreeSpace::reading() = std::move(reading);
    }
    ~FreeSpaceOverride() { FreeSpace::reading() = saved_; }
    FreeSpaceOverride(const FreeSpaceOverride&) = delete;
    FreeSpaceOverride& operator=(const FreeSpaceOverride&) = delete;

private:
    FreeSpace::Reading saved_;
};

} // namespace vantory::test
