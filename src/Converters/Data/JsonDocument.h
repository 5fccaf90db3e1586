#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace vantory::data {

// Parses a document whose top level is an object or an array; anything else, and
// malformed or too deeply nested text, throws PlatformError.
nlohmann::json parseJsonContainer(std::string_view bytes);
nlohmann::ordered_json parseOrderedJsonContainer(std::string_view bytes);

// Whether the bytes are a well-formed JSON object or array.
bool isJsonContainer(std::string_view bytes);

// Whether the bytes are a well-formed JSON object, checked without building it.
bool isJsonObject(std::string_view bytes);

} // namespace vantory::data
