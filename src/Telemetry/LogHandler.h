#pragma once

#include <functional>
#include <string>

namespace vantory {

enum class LogLevel : int { debug = 0, info = 1, error = 2 };

// "DEBUG", "INFO" or "ERROR".
std::string description(LogLevel level);

// Receives the telemetry client's log lines at or above `logLevel`.
struct LogHandler {
    using Handler = std::function<void(LogLevel, const std::string& message)>;

    LogLevel logLevel = LogLevel::info;
    Handler handler;

    LogHandler(LogLevel logLevel, Handler handler);

    // Prints "[Telemetry: LEVEL] message" as one line on standard output.
    static LogHandler standard(LogLevel logLevel);

    // Passes the message on only when `level` is at least `logLevel`.
    void log(LogLevel level, const std::string& message) const;
};

} // namespace vantory
