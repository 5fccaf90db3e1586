#include "Platform/ProcessRunner.h"
#include "support/ChildProcesses.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <stop_token>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vantory;

TEST(ProcessRunner, ReportsExitStatusWithoutAShell)
{
    // "exit 3" is passed as one argument to sh -c: a shell is only involved because we asked for one.
    const auto result = runProcess("/bin/sh", {"-c", "exit 3"});
    EXPECT_TRUE(result.launched);
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_FALSE(result.succeeded());
}

TEST(ProcessRunner, ArgumentsAreNeverInterpreted)
{
    test::TempDir dir;
    const auto target = dir / "a;b $(touch x)";
    const auto result = runProcess("/usr/bin/touch", {target.string()});
    EXPECT_TRUE(result.succeeded());
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

TEST(ProcessRunner, LaunchFailureIsNotAnExitStatus)
{
    const auto result = runProcess("/nonexistent/tool", {});
    EXPECT_FALSE(result.launched);
    EXPECT_FALSE(result.launchError.empty());
}

TEST(ProcessRunner, ChildHasNoTerminalAndReadsEmptyInput)
{
    // In its own session the child has no controlling terminal; stdin is /dev/null.
    const auto result = runProcess("/bin/sh",
                                   {"-c", "test ! -t 0 && read line; test -z \"$line\" && ! (exec </dev/tty) 2>/dev/null"});
    EXPECT_EQ(result.exitStatus, 0);
}

TEST(ProcessRunner, TimeoutKillsTheChild)
{
    ProcessOptions options;
    options.timeout = std::chrono::milliseconds(100);
    const auto started = std::chrono::steady_clock::now();
    const auto result = runProcess("/bin/sleep", {"10"}, options);
    EXPECT_TRUE(result.timedOut);
    EXPECT_FALSE(result.succeeded());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(ProcessRunner, EnvironmentAndWorkingDirectory)
{
    test::TempDir dir;
    ProcessOptions options;
    options.workingDirectory = dir.path().string();
    options.extraEnvironment["VANTORY_VALUE"] = "a\"b $x";
    const auto result = runProcess("/bin/sh", {"-c", "printf '%s' \"$VANTORY_VALUE\" > out.txt"}, options);
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(test::readFile(dir / "out.txt"), "a\"b $x");
}

TEST(ProcessRunner, AnUnknownExitIsNeverASuccess)
{
    // With SIGCHLD ignored the kernel reaps children itself and waitpid has no status to give.
    const auto previous = signal(SIGCHLD, SIG_IGN);
    const auto result = runProcess("/bin/true", {});
    signal(SIGCHLD, previous);
    EXPECT_TRUE(result.launched);
    EXPECT_FALSE(result.succeeded());
}

namespace {

} // namespace

TEST(ProcessRunner, StopEndsTheChildsWholeProcessGroup)
{
    struct Case {
        const char* name;
        const char* script; // writes the pid of a background grandchild to "$1"
    };
    const Case cases[] = {
        {"ends on TERM", "sleep 30 & echo $! > \"$1\"; wait"},
        {"ignores TERM", "trap '' TERM; sleep 30 & echo $! > \"$1\"; while :; do sleep 1; done"},
    };
    // Should the stop fail, the test ends the group itself rather than hang on it.
    const auto endGroupOf = [](pid_t member) {
        if (const pid_t group = getpgid(member); group > 1 && group != getpgrp())
            kill(-group, SIGKILL);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const auto pidFile = dir / "grandchild.pid";
        std::stop_source stop;
        ProcessOptions options;
        options.stop = stop.get_token();
        auto running = std::async(std::launch::async, [&] {
            return runProcess("/bin/sh", {"-c", c.script, "sh", pidFile.string()}, options);
        });
        const auto grandchild = test::pidWrittenTo(pidFile);
        ASSERT_TRUE(grandchild);
        stop.request_stop();
        if (running.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            endGroupOf(*grandchild);
            FAIL() << "the child is still running";
        }
        const ProcessResult result = running.get();
        EXPECT_TRUE(result.cancelled);
        EXPECT_FALSE(result.succeeded());
        EXPECT_TRUE(test::spinUntil([&] { return test::processEnded(*grandchild); }, 2000));
    }
}

TEST(ProcessRunner, AStopRequestedBeforehandNeverLetsTheChildRun)
{
    test::TempDir dir;
    std::stop_source stop;
    stop.request_stop();
    ProcessOptions options;
    options.stop = stop.get_token();
    const auto result = runProcess("/bin/sh", {"-c", "sleep 30; touch \"$1\"", "sh", (dir / "ran").string()}, options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.succeeded());
    EXPECT_FALSE(std::filesystem::exists(dir / "ran"));
}

TEST(ProcessRunner, ChildStartsWithDefaultSignalHandlingWhateverItsParentDoes)
{
    // The shell sends itself SIGTERM: a child that inherited an ignored or blocked SIGTERM
    // would carry on and exit 0.
    struct Case {
        const char* name;
        bool ignoreInProcess;
        bool blockInThread;
    };
    for (const auto& c : {Case{"ignored", true, false}, Case{"blocked", false, true}}) {
        SCOPED_TRACE(c.name);
        ProcessResult result;
        std::thread([&] {
            sigset_t term;
            sigemptyset(&term);
            sigaddset(&term, SIGTERM);
            if (c.blockInThread)
                pthread_sigmask(SIG_BLOCK, &term, nullptr);
            const auto previous = c.ignoreInProcess ? signal(SIGTERM, SIG_IGN) : SIG_DFL;
            result = runProcess("/bin/sh", {"-c", "kill -TERM $$; exit 0"});
            if (c.ignoreInProcess)
                signal(SIGTERM, previous);
        }).join();
        EXPECT_TRUE(result.killedBySignal);
    }
}

TEST(ProcessRunner, ChildCannotReachTheTerminalOfItsParent)
{
    // A helper process gets a pseudo-terminal as its controlling terminal and runs a child
    // that tries to open /dev/tty. In a session of its own the child has no terminal.
    test::TempDir dir;
    const auto outcome = dir / "outcome.txt";
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);

    constexpr int helperHasNoTerminal = 2;
    const pid_t helper = fork();
    ASSERT_GE(helper, 0);
    if (helper == 0) {
        setsid();
        const int fd = open(terminal.c_str(), O_RDWR);
        if (fd < 0 || ioctl(fd, TIOCSCTTY, 0) != 0 || open("/dev/tty", O_RDWR) < 0)
            _exit(helperHasNoTerminal);
        const auto result = runProcess(
            "/bin/sh", {"-c", "if (exec 3</dev/tty) 2>/dev/null; then echo reachable; else echo unreachable; fi > \"$1\"", "sh",
                        outcome.string()});
        _exit(result.succeeded() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(helper, &status, 0), helper);
    close(master);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test::readFile(outcome), "unreachable\n");
}
