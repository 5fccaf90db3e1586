#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One entry of an archive, as the archive states it.
struct ArchiveEntry {
    enum class Kind { file, folder, symbolicLink, hardLink, other };

    std::string path;
    Kind kind = Kind::file;
    // What a symbolic link points to, or the entry a hard link shares its content with.
    std::string linkTarget;
    // The size of a file's content as the archive states it; 0 when it states none.
    std::uint64_t size = 0;
};

// The entries of a ZIP or (plain or compressed) tar archive, read with libarchive without
// extracting anything; `password` opens encrypted ZIP entries ("" for none). None when the
// archive cannot be read that way.
std::optional<std::vector<ArchiveEntry>> readArchiveEntries(const std::filesystem::path& path, const std::string& password);

} // namespace vantory
