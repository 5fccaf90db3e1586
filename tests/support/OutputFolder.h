#pragma once

#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vantory::test {

// Every entry of a folder, hidden ones included, sorted by name.
inline std::vector<std::filesystem::path> entriesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

struct WrittenFile {
    std::filesystem::path path;
    std::string content;
};

// The one file an operation wrote into `folder`; fails the test when there is not exactly one.
inline WrittenFile onlyFileIn(const std::filesystem::path& folder)
{
    const auto entries = entriesIn(folder);
    EXPECT_EQ(entries.size(), 1u) << "files in " << folder;
    if (entries.empty())
        return {};
    return {entries.front(), readFile(entries.front())};
}

} // namespace vantory::test
