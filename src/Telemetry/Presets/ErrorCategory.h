#pragma once

#include <string>

namespace vantory {

// What kind of failure an error signal reports.
enum class ErrorCategory { thrownException, userInput, appState };

// "thrown-exception", "user-input" or "app-state": the value sent with the signal.
std::string rawValue(ErrorCategory category);

} // namespace vantory
