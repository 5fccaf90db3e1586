#pragma once

#include <string_view>
#include <vector>

// Text helpers that work on UTF-8 bytes without decoding whole strings.
namespace vantory::data {

// Trims tabs and the Unicode space separators (category Zs, the plain space included)
// from both ends. The text must be valid UTF-8.
std::string_view trimSpaces(std::string_view text);

// Splits at every line feed, vertical tab, form feed, carriage return, U+0085, U+2028
// and U+2029, each one a separator of its own ("a\r\nb" gives "a", "" and "b").
std::vector<std::string_view> splitAtNewlines(std::string_view text);

} // namespace vantory::data
