#pragma once

#include <filesystem>
#include <string>

namespace vantory::OutputNaming {

// The input's name less its last extension ("archive.tar.gz" -> "archive.tar").
std::string stem(const std::filesystem::path& url);

// folder / (stem + "_" + eight random lower-case hex digits + "." + ext).
std::filesystem::path uniqueURL(const std::filesystem::path& folder, const std::string& stem, const std::string& ext);

// Lower case, then "jpeg" -> "jpg", "heif" -> "heic", "tif" -> "tiff".
std::string normalize(const std::string& format);

} // namespace vantory::OutputNaming
