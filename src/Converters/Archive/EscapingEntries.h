#pragma once

#include "Converters/Archive/ArchiveEntries.h"

#include <filesystem>
#include <vector>

namespace vantory {

// Before anything is extracted: throws PlatformError naming the first of the `entries`
// of `archive` that extracting would write outside the folder it is extracted into,
// namely an entry whose own name is absolute or climbs out with "..", one written through
// a link of the archive that leads out, or a hard link to something outside. A link that
// merely points outside passes: publishing the extracted tree leaves it out.
void refuseEntriesWritingOutside(const std::filesystem::path& archive, const std::vector<ArchiveEntry>& entries);

} // namespace vantory
