#pragma once

#include <string_view>

namespace vantory::data {

// Whether the XML property list in `text` nests its arrays and dictionaries at most
// `maxDepth` deep (the outermost container is depth 1), measured without building the
// tree: the property-list library frees its trees recursively, so a deeper one must
// never reach it. The text is read the way that library reads it (comments, CDATA,
// declarations and double-quoted attribute values hide what looks like tags). False too
// for anything that library could read differently, such as an unknown declaration or
// a tag that does not end in '>'; the library rejects those anyway.
bool xmlPropertyListNestsWithin(std::string_view text, int maxDepth);

} // namespace vantory::data
