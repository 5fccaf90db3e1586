#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>

namespace vantory::data {

// The value types the JSON library's parser hands to an event receiver.
template <class Json = nlohmann::json>
struct JsonEventTypes {
    using number_integer_t = typename Json::number_integer_t;
    using number_unsigned_t = typename Json::number_unsigned_t;
    using number_float_t = typename Json::number_float_t;
    using string_t = typename Json::string_t;
    using binary_t = typename Json::binary_t;
};

// The parser reads every number without a sign as unsigned and "-0" as the signed
// integer 0, which would drop its sign: a signed integer event of 0 is a negative zero.
inline bool isNegativeZero(std::int64_t integer)
{
    return integer == 0;
}

} // namespace vantory::data
