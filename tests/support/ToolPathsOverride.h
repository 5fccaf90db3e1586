#pragma once

#include "Platform/ProcessRunner.h"

namespace vantory::test {

// Points the archive tools elsewhere for one test and puts them back afterwards.
class ToolPathsOverride {
public:
    ToolPathsOverride() : saved_(ToolPaths::current()) { }
    ~ToolPathsOverride() { ToolPaths::current() = saved_; }
    ToolPathsOverride(const ToolPathsOverride&) = delete;
    ToolPathsOverride& operator=(const ToolPathsOverride&) = delete;

    ToolPaths& operator*() { return ToolPaths::current(); }
    ToolPaths* operator->() { return &ToolPaths::current(); }

private:
    ToolPaths saved_;
};

} // namespace vantory::test
