#include "Platform/ProcessRunner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vantory {

namespace {

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& extra)
{
    std::vector<std::string> result;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string text(*entry);
        const auto name = text.substr(0, text.find('='));
        if (!extra.contains(name))
            result.push_back(std::move(text));
    }
    for (const auto& [name, value] : extra)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The child's wait status; none when it cannot be had (the child was reaped elsewhere).
std::optional<int> reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    return status;
}

// Waits for the child; kills its whole session when the deadline passes.
std::optional<int> waitFor(pid_t pid, const std::optional<std::chrono::milliseconds>& timeout, bool& timedOut)
{
    if (!timeout)
        return reap(pid);
    const auto deadline = std::chrono::steady_clock::now() + *timeout;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return status;
        if (done < 0 && errno != EINTR)
            return std::nullopt;
        if (std::chrono::steady_clock::now() >= deadline) {
            timedOut = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            return reap(pid);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

ProcessResult runProcess(const std::string& executable, const std::vector<std::string>& arguments, const ProcessOptions& options)
{
    ProcessResult result;

    std::vector<std::string> argv{executable};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto argvPointers = pointersTo(argv);
    auto env = environmentWith(options.extraEnvironment);
    auto envPointers = pointersTo(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    if (options.workingDirectory)
        posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory->c_str());

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);

    if (error != 0) {
        result.launchError = std::strerror(error);
        return result;
    }

    result.launched = true;
    const std::optional<int> status = waitFor(pid, options.timeout, result.timedOut);
    if (status && WIFEXITED(*status))
        result.exitStatus = WEXITSTATUS(*status);
    else if (status && WIFSIGNALED(*status))
        result.killedBySignal = true;
    return result; // with no status the exit status stays unknown (-1): never a success
}

ToolPaths& ToolPaths::current()
{
    static ToolPaths paths;
    return paths;
}

} // namespace vantory
