#pragma once

#include <optional>
#include <string_view>

namespace vantory::CurrencyRates {

// How many units of the ISO 4217 currency `code` one US dollar buys; none for a code
// the table does not know (US dollars included).
std::optional<double> unitsPerUSDollar(std::string_view code);

} // namespace vantory::CurrencyRates
