#pragma once

#include <filesystem>
#include <string>

namespace vantory::OutputNaming {

// The input's name less its last extension ("archive.tar.gz" -> "archive.tar").
std::string stem(const std::filesystem::path& url);

// folder / (stem + "_" + eight random lower-case hex digits + "." + ext); no "." when
// `ext` is empty.
std::filesystem::path uniqueURL(const std::filesystem::path& folder, const std::string& stem, const std::string& ext);

// A name in `folder` for an item called `name` whose namesake stands there already: the
// unique name of its stem and extension, the stem shortened (on a whole character) when
// the name would be longer than the folder takes.
std::filesystem::path uniqueURLBesideNamesake(const std::filesystem::path& folder, const std::string& name);

// Lower case, then "jpeg" -> "jpg", "heif" -> "heic", "tif" -> "tiff".
std::string normalize(const std::string& format);

} // namespace vantory::OutputNaming
