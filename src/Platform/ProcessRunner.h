#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vantory {

// The outcome of one child process. A process that could not be started is told
// apart from one that ran and failed: `launched` is false and `launchError` says why.
struct ProcessResult {
    bool launched = false;
    bool timedOut = false;
    bool cancelled = false; // stopped through ProcessOptions::stop
    int exitStatus = -1; // exit code when the child exited normally
    bool killedBySignal = false; // the child ended on a signal (its status is then -1)
    std::string launchError;

    bool succeeded() const { return launched && !timedOut && !cancelled && !killedBySignal && exitStatus == 0; }
};

// How long a stopped child's process group has to end on SIGTERM before SIGKILL.
inline constexpr std::chrono::milliseconds stopGracePeriod{300};

struct ProcessOptions {
    std::optional<std::string> workingDirectory;
    std::map<std::string, std::string> extraEnvironment; // added to the inherited environment
    std::optional<std::chrono::milliseconds> timeout; // the child is killed after this
    // When stop is requested the child's whole process group gets SIGTERM, then SIGKILL
    // after stopGracePeriod; the result is then `cancelled`.
    std::stop_token stop;
};

// Runs a tool by absolute path with an argument vector: no shell, standard input,
// output and error on /dev/null, default signal handling and no blocked signals, the
// child in a session (and process group) of its own so that it can never wait on a
// terminal. Blocks until the child exits.
ProcessResult runProcess(const std::string& executable, const std::vector<std::string>& arguments,
                         const ProcessOptions& options = {});

// Absolute paths of the archive tools; tests may point them elsewhere.
struct ToolPaths {
    std::string zip = "/usr/bin/zip";
    std::string unzip = "/usr/bin/unzip";
    std::string tar = "/usr/bin/tar";
    std::string expect = "/usr/bin/expect";
    std::string zipcloak = "/usr/bin/zipcloak";

    static ToolPaths& current();
};

} // namespace vantory
