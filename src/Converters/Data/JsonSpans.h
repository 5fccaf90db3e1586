#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

// Finding where values lie in JSON text that has already been checked to be well formed,
// without building them. Positions are offsets into the text.
namespace vantory::data::JsonSpans {

// The first position at or after `at` that is not JSON white space.
std::size_t skipWhitespace(std::string_view text, std::size_t at);

// One past the end of the value (string, number, literal, object or array) starting at `at`.
std::size_t valueEnd(std::string_view text, std::size_t at);

// Calls `each(key, value)` for every member of the object `object`, in the order written;
// the key is as written, quotes included.
void forEachMember(std::string_view object, const std::function<void(std::string_view key, std::string_view value)>& each);

// Calls `each(element)` for every element of the array `array`, in order.
void forEachElement(std::string_view array, const std::function<void(std::string_view element)>& each);

} // namespace vantory::data::JsonSpans
