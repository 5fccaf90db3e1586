#pragma once

#include <filesystem>
#include <string>

namespace vantory {

// Before anything is extracted: throws PlatformError naming the first entry of `archive`
// that extracting would write outside the folder it is extracted into, namely an entry
// whose own name is absolute or climbs out with "..", one written through a link of the
// archive that leads out, or a hard link to something outside. A link that merely points
// outside passes: publishing the extracted tree leaves it out. An archive libarchive
// cannot read passes too; the extracted tree is checked all the same.
void refuseEntriesWritingOutside(const std::filesystem::path& archive, const std::string& password);

} // namespace vantory
