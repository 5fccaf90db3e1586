#pragma once

#include "Converters/OutputFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantory::data {

// Base64 of `bytes` with a line feed after every 76 characters, none after the last line.
void writeBase64Lines(std::string_view bytes, OutputFile& out);

// The bytes of Base64 text, skipping every character outside the alphabet (line breaks
// and spaces included). The "=" padding must complete the last group of four; a group
// left short or anything after the padding gives nullopt.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace vantory::data
