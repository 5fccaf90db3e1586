#pragma once

#include "Converters/Data/JsonErrors.h"
#include "Converters/Data/JsonEventTypes.h"

#include <nlohmann/json.hpp>

namespace vantory::data {

// Receives the JSON library's parse events and builds one value with the library's own
// builder, refusing documents nested deeper than maxJsonDepth and turning parse errors
// into PlatformError.
template <class Json>
class JsonBuilder : public JsonEventTypes<Json> {
public:
    using typename JsonEventTypes<Json>::number_integer_t;
    using typename JsonEventTypes<Json>::number_unsigned_t;
    using typename JsonEventTypes<Json>::number_float_t;
    using typename JsonEventTypes<Json>::string_t;
    using typename JsonEventTypes<Json>::binary_t;

    // `outerDepth` is the nesting of `target` within the whole document.
    explicit JsonBuilder(Json& target, int outerDepth = 0) : dom_(target, true), depth_(outerDepth), outerDepth_(outerDepth) { }

    bool null() { return dom_.null(); }
    bool boolean(bool value) { return dom_.boolean(value); }
    bool number_integer(number_integer_t value)
    {
        return isNegativeZero(value) ? dom_.number_float(-0.0, "-0") : dom_.number_integer(value);
    }
    bool number_unsigned(number_unsigned_t value) { return dom_.number_unsigned(value); }
    bool number_float(number_float_t value, const string_t& text) { return dom_.number_float(value, text); }
    bool string(string_t& value) { return dom_.string(value); }
    bool binary(binary_t& value) { return dom_.binary(value); }
    bool key(string_t& value) { return dom_.key(value); }
    bool start_object(std::size_t size)
    {
        enter();
        return dom_.start_object(size);
    }
    bool end_object()
    {
        --depth_;
        return dom_.end_object();
    }
    bool start_array(std::size_t size)
    {
        enter();
        return dom_.start_array(size);
    }
    bool end_array()
    {
        --depth_;
        return dom_.end_array();
    }
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception&)
    {
        throw malformedJsonError();
    }

    // True once the value has been closed.
    bool isComplete() const { return depth_ == outerDepth_; }

private:
    void enter()
    {
        if (++depth_ > maxJsonDepth)
            throw jsonTooDeepError();
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    int depth_;
    int outerDepth_;
};

} // namespace vantory::data
