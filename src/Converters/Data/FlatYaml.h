#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace vantory::data {

// Reads "key: value" lines into one flat object. Not a general YAML reader: indentation
// means nothing, lines without a colon and whole-line "#" comments are skipped, and a
// later line with the same key replaces the earlier value.
nlohmann::json readFlatYaml(std::string_view text);

// The typed value of one trimmed value text: true/false, a 64-bit integer, a finite
// floating-point number (read the same in every locale), null for "null" or "~", the
// inside of a quoted text, otherwise the text itself.
nlohmann::json yamlScalar(std::string_view value);

} // namespace vantory::data
