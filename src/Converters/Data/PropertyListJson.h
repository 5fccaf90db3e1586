#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace vantory::data {

// The JSON value of a property list (XML or binary form). A list that does not parse,
// whose top level is not an array or dictionary, or that holds anything JSON cannot
// (dates, data, UIDs, non-finite reals, text that is not UTF-8), or that nests deeper
// than maxJsonDepth (checked before the library parses it) throws
// ConversionError::invalidDataStructure.
nlohmann::json jsonFromPropertyList(std::string_view bytes);

} // namespace vantory::data
