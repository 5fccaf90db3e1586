#include "Converters/Data/FlatYaml.h"

#include "Converters/Data/Utf8Text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace vantory::data {

namespace {

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::int64_t> signedInteger(std::string_view value)
{
    std::string_view digits = value;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
        digits.remove_prefix(1);
    if (!isDigits(digits))
        return std::nullopt;
    // from_chars takes a minus but not a plus.
    const std::string_view number = value.front() == '+' ? digits : value;
    std::int64_t result = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), result);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    return result;
}

locale_t cLocale()
{
    static const locale_t locale = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// The C library's reader in the "C" locale, which must take the whole value.
std::optional<double> floatingPoint(std::string_view value)
{
    if (value.empty() || std::isspace(static_cast<unsigned char>(value.front())))
        return std::nullopt;
    const std::string text(value);
    char* end = nullptr;
    const double result = ::strtod_l(text.c_str(), &end, cLocale());
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return result;
}

bool isQuoted(std::string_view value)
{
    return !value.empty() && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

} // namespace

nlohmann::json yamlScalar(std::string_view value)
{
    if (value == "true" || value == "false")
        return value == "true";
    if (const auto integer = signedInteger(value))
        return *integer;
    if (const auto number = floatingPoint(value)) {
        // JSON has no infinity or not-a-number: such a value stays the text it was.
        if (std::isfinite(*number))
            return *number;
        return std::string(value);
    }
    if (value == "null" || value == "~")
        return nullptr;
    if (isQuoted(value))
        return value.size() == 1 ? std::string() : std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

nlohmann::json readFlatYaml(std::string_view text)
{
    nlohmann::json object = nlohmann::json::object();
    for (const std::string_view line : splitAtNewlines(text)) {
        const std::string_view trimmed = trimSpaces(line);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        const std::size_t colon = trimmed.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string key(trimSpaces(trimmed.substr(0, colon)));
        object[key] = yamlScalar(trimSpaces(trimmed.substr(colon + 1)));
    }
    return object;
}

} // namespace vantory::data
