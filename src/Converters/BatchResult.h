#pragma once

#include <optional>
#include <string>

namespace vantory {

// The outcome of a batch: files (or whole-batch calls) that succeeded and failed.
struct BatchResult {
    int successes = 0;
    int failures = 0;
    std::optional<std::string> firstErrorMessage;
    bool cancelled = false; // the batch was told to stop; the counts cover what ran before

    // "3 Processed, 1 Skipped (message)" when some succeeded, some failed and a message is known.
    std::optional<std::string> summaryText() const
    {
        if (successes > 0 && failures > 0 && firstErrorMessage)
            return std::to_string(successes) + " Processed, " + std::to_string(failures) + " Skipped (" + *firstErrorMessage
                   + ")";
        return std::nullopt;
    }
    bool isFullFailure() const { return successes == 0 && failures > 0; }
    bool isPartialSuccess() const { return successes > 0 && failures > 0; }

    bool operator==(const BatchResult&) const = default;
};

} // namespace vantory
