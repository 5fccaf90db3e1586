#pragma once

#include <map>
#include <string>

namespace vantory {

// The parameters of one signal: text keys to text values.
using SignalParameters = std::map<std::string, std::string>;

// `base` merged with `overrides`; on an equal key the value of `overrides` wins.
inline SignalParameters applying(SignalParameters base, const SignalParameters& overrides)
{
    for (const auto& [key, value] : overrides)
        base.insert_or_assign(key, value);
    return base;
}

// `map` with every key passed through `transform`. When two keys end up equal the
// first one in key order keeps its value.
template <typename Transform>
SignalParameters mapKeys(const SignalParameters& map, Transform transform)
{
    SignalParameters result;
    for (const auto& [key, value] : map)
        result.emplace(transform(key), value);
    return result;
}

} // namespace vantory
