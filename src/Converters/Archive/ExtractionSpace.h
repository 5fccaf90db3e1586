#pragma once

#include "Converters/Archive/ArchiveEntries.h"

#include <filesystem>
#include <vector>

namespace vantory {

// Before anything is extracted: throws PlatformError with FreeSpace::notEnoughMessage when
// the files among `entries`, at the sizes the archive states, would leave less than
// FreeSpace::reserve free on the volume of `outputFolder`. A volume whose free space
// cannot be read passes.
void refuseWhatCannotFit(const std::vector<ArchiveEntry>& entries, const std::filesystem::path& outputFolder);

} // namespace vantory
