#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
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

// Where the document's first value starts, past a byte-order mark and JSON white space as
// the parser passes over them; `bytes.size()` when nothing follows.
std::size_t jsonValueStart(std::string_view bytes);

} // namespace vantory::data
