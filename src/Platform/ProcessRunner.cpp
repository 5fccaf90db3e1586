#include "Platform/ProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vantory {

namespace {

using Clock = std::chrono::steady_clock;

// Without a process file descriptor (an old kernel) or a stop wakeup, the child and the
// stop are looked at this often.
constexpr std::chrono::milliseconds fallbackPollInterval{5};

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

// A file descriptor that becomes readable once the stop is requested.
class StopWakeup {
public:
    explicit StopWakeup(const std::stop_token& stop)
        : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
          callback_(stop, [this] { wake(); })
    {
    }
    ~StopWakeup()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    StopWakeup(const StopWakeup&) = delete;
    StopWakeup& operator=(const StopWakeup&) = delete;

    int fd() const { return fd_; }

private:
    void wake()
    {
        const std::uint64_t one = 1;
        if (fd_ >= 0 && write(fd_, &one, sizeof one) < 0) {
            // Only a full counter fails, and then the descriptor is readable already.
        }
    }

    int fd_;
    std::stop_callback<std::function<void()>> callback_;
};

// A running child, watched without reaping it: while it is not reaped its pid (and so
// its process group id) cannot be taken by another process.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid), pidfd_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) { }
    ~Child()
    {
        if (pidfd_ >= 0)
            close(pidfd_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool hasEnded() const
    {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) < 0)
            return errno != EINTR; // no such child any more: reaped elsewhere
        return info.si_pid == pid_;
    }

    // Waits until the child ends, `wakeFd` becomes readable or `deadline` passes; may
    // return earlier.
    void waitForChange(Clock::time_point deadline, int wakeFd) const
    {
        pollfd fds[2];
        nfds_t count = 0;
        if (pidfd_ >= 0)
            fds[count++] = {pidfd_, POLLIN, 0};
        if (wakeFd >= 0)
            fds[count++] = {wakeFd, POLLIN, 0};
        poll(fds, count, timeoutUntil(deadline));
    }

    void signalGroup(int signal) const
    {
        kill(-pid_, signal);
        kill(pid_, signal);
    }

private:
    int timeoutUntil(Clock::time_point deadline) const
    {
        if (pidfd_ < 0)
            deadline = std::min(deadline, Clock::now() + fallbackPollInterval);
        if (deadline == Clock::time_point::max())
            return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
    }

    pid_t pid_;
    int pidfd_;
};

// SIGTERM to the whole group; what is left of it after the grace period gets SIGKILL.
void endGroup(const Child& child)
{
    child.signalGroup(SIGTERM);
    const auto graceEnd = Clock::now() + stopGracePeriod;
    while (!child.hasEnded() && Clock::now() < graceEnd)
        child.waitForChange(graceEnd, -1);
    child.signalGroup(SIGKILL);
}

// Waits for the child; ends its whole process group on a stop or when the deadline passes.
std::optional<int> waitFor(pid_t pid, const ProcessOptions& options, ProcessResult& result)
{
    if (!options.timeout && !options.stop.stop_possible())
        return reap(pid);
    const Child child(pid);
    const StopWakeup wakeup(options.stop);
    const auto deadline = options.timeout ? Clock::now() + *options.timeout : Clock::time_point::max();
    while (!child.hasEnded()) {
        if (options.stop.stop_requested()) {
            result.cancelled = true;
            endGroup(child);
            break;
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            child.signalGroup(SIGKILL);
            break;
        }
        const bool wakesOnStop = wakeup.fd() >= 0;
        child.waitForChange(wakesOnStop ? deadline : std::min(deadline, Clock::now() + fallbackPollInterval), wakeup.fd());
    }
    return reap(pid);
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

    // The child starts as a tool expects to, whatever this thread blocks or this process
    // ignores: otherwise a SIGTERM sent to stop it could be lost.
    sigset_t allSignals;
    sigfillset(&allSignals);
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigdefault(&attributes, &allSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);

    if (error != 0) {
        result.launchError = std::strerror(error);
        return result;
    }

    result.launched = true;
    const std::optional<int> status = waitFor(pid, options, result);
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
