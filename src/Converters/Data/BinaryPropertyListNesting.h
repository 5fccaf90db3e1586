#pragma once

#include <string_view>

namespace vantory::data {

// Whether the binary property list ("bplist00") in `bytes` nests its arrays, sets and
// dictionaries at most `maxDepth` deep (the top object is depth 1), found by following
// the object references without recursion and without building the tree: the
// property-list library parses and frees recursively, so a deeper list must never reach
// it. Also false for a reference cycle, for references that expand into more objects
// than the file has bytes (shared containers: the library copies every use), and for a
// trailer, offset, count or reference the format does not allow or that points outside
// the file. And false for a dictionary key the library cannot take (no string, or a
// UTF-16 string holding U+0000): it would end the process on an assertion.
bool binaryPropertyListNestsWithin(std::string_view bytes, int maxDepth);

} // namespace vantory::data
