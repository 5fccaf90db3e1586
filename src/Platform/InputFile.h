#pragma once

#include <filesystem>
#include <string>

namespace vantory {

// The whole file's bytes. Throws PlatformError when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);

// The file as UTF-8 text, without a leading byte-order mark. Throws PlatformError when
// it cannot be read or is not valid UTF-8.
std::string readUTF8File(const std::filesystem::path& path);

} // namespace vantory
