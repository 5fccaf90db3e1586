#pragma once

#include "Converters/OutputFile.h"

#include <string_view>

namespace vantory::data {

// Rewrites a JSON document pretty with every object's keys in ascending order; the
// output is what the library's writer gives for the whole parsed document. A top-level
// array is handled one element at a time, so memory follows the largest element rather
// than the whole document. Throws PlatformError for text that is not a JSON object or
// array.
void writeSortedPrettyJson(std::string_view bytes, OutputFile& out);

} // namespace vantory::data
