#include "Telemetry/Presets/ErrorCategory.h"

namespace vantory {

std::string rawValue(ErrorCategory category)
{
    switch (category) {
    case ErrorCategory::thrownException: return "thrown-exception";
    case ErrorCategory::userInput: return "user-input";
    case ErrorCategory::appState: return "app-state";
    }
    return "thrown-exception";
}

} // namespace vantory
