#include "Converters/Data/JsonDocument.h"

#include "Converters/Data/JsonBuilder.h"

namespace vantory::data {

namespace {

template <class Json>
Json parseContainer(std::string_view bytes)
{
    Json value;
    JsonBuilder<Json> builder(value);
    Json::sax_parse(bytes.begin(), bytes.end(), &builder);
    if (!value.is_object() && !value.is_array())
        throw malformedJsonError();
    return value;
}

// The first character after a byte-order mark and JSON white space, or 0.
char firstSignificantCharacter(std::string_view bytes)
{
    const std::size_t at = jsonValueStart(bytes);
    return at == bytes.size() ? 0 : bytes[at];
}

} // namespace

nlohmann::json parseJsonContainer(std::string_view bytes)
{
    return parseContainer<nlohmann::json>(bytes);
}

nlohmann::ordered_json parseOrderedJsonContainer(std::string_view bytes)
{
    return parseContainer<nlohmann::ordered_json>(bytes);
}

bool isJsonContainer(std::string_view bytes)
{
    const char first = firstSignificantCharacter(bytes);
    return (first == '{' || first == '[') && nlohmann::json::accept(bytes.begin(), bytes.end());
}

bool isJsonObject(std::string_view bytes)
{
    return firstSignificantCharacter(bytes) == '{' && nlohmann::json::accept(bytes.begin(), bytes.end());
}

std::size_t jsonValueStart(std::string_view bytes)
{
    const std::size_t afterMark = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const std::size_t at = bytes.find_first_not_of(" \t\r\n", afterMark);
    return at == std::string_view::npos ? bytes.size() : at;
}

} // namespace vantory::data
