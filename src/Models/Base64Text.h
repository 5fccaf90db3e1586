#pragma once

#include <filesystem>

namespace vantory {

// Whether the file reads as strict UTF-8 text that, trimmed of white space at both
// ends, is not empty and holds only letters, marks and numbers of any script and
// "+", "/", "=", line feed, carriage return and space. A file that cannot be read,
// or is not valid UTF-8, does not. The file is streamed, and reading stops at the
// first character that rules it out.
bool readsAsBase64Text(const std::filesystem::path& file);

} // namespace vantory
