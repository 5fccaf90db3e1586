#include "Platform/ProcessRunner.h"
#include "support/TempDir.h"

#include <csignal>
#include <gtest/gtest.h>

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
