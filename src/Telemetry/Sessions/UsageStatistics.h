#pragma once

#include <optional>
#include <string>

namespace vantory {

// The usage history every signal reports, as the session manager keeps it.
struct UsageStatistics {
    // "yyyy-MM-dd" in the current time zone.
    std::string firstSessionDate;
    int averageSessionSeconds = -1;
    int distinctDaysUsed = 0;
    int distinctDaysUsedLastMonth = 0;
    int totalSessionsCount = 0;
    // Only with two or more stored sessions: the one before the running one.
    std::optional<long long> previousSessionSeconds;
};

} // namespace vantory
