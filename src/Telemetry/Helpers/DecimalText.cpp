#include "Telemetry/Helpers/DecimalText.h"

#include <charconv>

namespace vantory {

std::string shortestDecimalText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eni") == std::string::npos)
        text += ".0";
    return text;
}

} // namespace vantory
