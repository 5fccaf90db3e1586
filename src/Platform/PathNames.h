#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vantory {

// Names of a path as the user sees them. A trailing "/" is ignored, so
// "/a/Photos/" has the name "Photos" like "/a/Photos".
std::filesystem::path withoutTrailingSlash(const std::filesystem::path& path);
std::string lastPathComponent(const std::filesystem::path& path);
// The name in curly quotes, as messages show it: “Photos”.
std::string quotedName(const std::filesystem::path& path);
// The text after the last "." of the name, without the dot; "" when there is none
// (and for names like ".bashrc" or "file.").
std::string pathExtension(const std::filesystem::path& path);
// The name less its last extension: "archive.tar.gz" gives "archive.tar".
std::string nameWithoutExtension(const std::filesystem::path& path);
// The path with "." and ".." components resolved and no trailing "/", for comparing drops.
std::string standardizedPath(const std::filesystem::path& path);
// The longest name, in bytes, that the file system holding `folder` takes.
std::size_t longestNameIn(const std::filesystem::path& folder);
// Eight random lowercase hex digits, for a name that must not clash with its neighbours.
std::string randomNamePart();
std::string lowercased(std::string text);
std::string uppercased(std::string text);

} // namespace vantory
