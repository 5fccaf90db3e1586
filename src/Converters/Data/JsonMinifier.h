#pragma once

#include "Converters/OutputFile.h"

#include <string_view>

namespace vantory::data {

// Rewrites a JSON document without any white space, streaming: keys stay in the order
// written (a repeated key stays too), strings are re-escaped the way the library's
// writer does, and numbers keep the digits they were written with, so nothing is
// rounded. Throws PlatformError for text that is not a JSON object or array.
void writeMinifiedJson(std::string_view bytes, OutputFile& out);

} // namespace vantory::data
