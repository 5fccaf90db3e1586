#pragma once

#include <string>
#include <string_view>

namespace vantory::CryptoHashing {

// Lower-case hexadecimal SHA-256 (64 characters) of `string` followed by `salt`.
std::string sha256(std::string_view string, std::string_view salt);

} // namespace vantory::CryptoHashing
