#include "Telemetry/LogHandler.h"

#include <cstdio>
#include <utility>

namespace vantory {

std::string description(LogLevel level)
{
    switch (level) {
    case LogLevel::debug: return "DEBUG";
    case LogLevel::info: return "INFO";
    case LogLevel::error: return "ERROR";
    }
    return "INFO";
}

LogHandler::LogHandler(LogLevel logLevel, Handler handler) : logLevel(logLevel), handler(std::move(handler))
{
}

LogHandler LogHandler::standard(LogLevel logLevel)
{
    return LogHandler(logLevel, [](LogLevel level, const std::string& message) {
        // One write per line, so lines from different threads do not interleave.
        const std::string line = "[Telemetry: " + description(level) + "] " + message + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    });
}

void LogHandler::log(LogLevel level, const std::string& message) const
{
    if (handler && static_cast<int>(level) >= static_cast<int>(logLevel))
        handler(level, message);
}

} // namespace vantory
