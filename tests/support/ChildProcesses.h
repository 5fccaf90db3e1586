#pragma once

#include "support/EventLoop.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/types.h>

namespace vantory::test {

// Whether the process has ended: gone, or a zombie nobody has reaped yet.
inline bool processEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const auto afterName = line.rfind(')');
    return afterName == std::string::npos || line.substr(afterName + 2, 1) == "Z";
}

// The number a started child wrote into `file`, once it is there.
inline std::optional<pid_t> pidWrittenTo(const std::filesystem::path& file)
{
    std::optional<pid_t> pid;
    spinUntil([&] {
        std::ifstream in(file);
        pid_t value = 0;
        if (in >> value && value > 0)
            pid = value;
        return pid.has_value();
    });
    return pid;
}

} // namespace vantory::test
