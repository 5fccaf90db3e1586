#pragma once

#include <filesystem>

namespace vantory::PrivateFiles {

// Creates `folder` with mode 0700 (missing parents too) or narrows an existing one to
// 0700; a link at `folder` is used as it is. Returns whether a folder is there.
bool ensureFolder(const std::filesystem::path& folder);

// Narrows the regular file at `file` to mode 0600, creating it empty when nothing is
// there (and its folder). A link, a pipe or any other entry is left alone.
void ensureFile(const std::filesystem::path& file);

} // namespace vantory::PrivateFiles
