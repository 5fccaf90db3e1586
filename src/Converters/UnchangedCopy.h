#pragma once

#include <filesystem>
#include <string>

namespace vantory {

// Whether the file's extension, normalised, is `format` (already normalised).
bool hasFormat(const std::filesystem::path& file, const std::string& format);

// Copies `source` byte for byte to `destination`, which must not exist yet; nothing is
// left there when the copy fails. Throws PlatformError.
void copyUnchanged(const std::filesystem::path& source, const std::filesystem::path& destination);

} // namespace vantory
