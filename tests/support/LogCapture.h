#pragma once

#include "Telemetry/LogHandler.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vantory::test {

// Keeps the lines a telemetry client logs, from whichever thread logs them.
class LogCapture {
public:
    // A handler passing on the lines at or above `level` to this capture.
    LogHandler handler(LogLevel level)
    {
        return LogHandler(level, [this](LogLevel lineLevel, const std::string& message) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(lineLevel, message);
        });
    }

    // The messages logged at exactly `level`, in order.
    std::vector<std::string> lines(LogLevel level) const
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> result;
        for (const auto& [lineLevel, message] : lines_)
            if (lineLevel == level)
                result.push_back(message);
        return result;
    }

    bool contains(LogLevel level, const std::string& message) const
    {
        const auto all = lines(level);
        return std::find(all.begin(), all.end(), message) != all.end();
    }

    // Whether `message` was logged at any level.
    bool contains(const std::string& message) const
    {
        std::lock_guard lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(), [&](const auto& line) { return line.second == message; });
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<LogLevel, std::string>> lines_;
};

} // namespace vantory::test
