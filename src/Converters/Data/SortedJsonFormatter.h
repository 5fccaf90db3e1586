#pragma once

#include "Converters/OutputFile.h"

#include <cstddef>
#include <string_view>

namespace vantory::data {

// Values of a top-level object smaller than this many bytes are built whole.
inline constexpr std::size_t wholeJsonValueLimit = 64 * 1024;

// Rewrites a JSON document pretty with every object's keys in ascending order; the
// output is what the library's writer gives for the whole parsed document, but the
// document is never built whole. A top-level array is handled one element at a time; a
// top-level object is checked first, then written member by member in key order from
// where each member lies in `bytes`, recursing into members of `wholeValueLimit` bytes
// or more. Memory follows the largest element, or the number of members of the largest
// object, rather than the whole document. Throws PlatformError for text that is not a
// JSON object or array.
void writeSortedPrettyJson(std::string_view bytes, OutputFile& out, std::size_t wholeValueLimit = wholeJsonValueLimit);

} // namespace vantory::data
