#include "App/SingleInstance.h"
#include "App/TerminationSignal.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QFile>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vantory;

namespace {

QString socketIn(const test::TempDir& dir)
{
    return QString::fromStdString((dir / "vantory.socket").string());
}

// What an instance that crashed leaves behind: a socket file that nobody listens on.
void leaveDeadSocket(const QString& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(std::size_t(name.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, name.constData(), name.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
    close(fd);
}

using SignalHandler = void (*)(int);

SignalHandler currentHandler(int signal)
{
    struct sigaction current { };
    sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

} // namespace

TEST(SingleInstance, SecondClaimFailsWhileTheFirstLives)
{
    test::TempDir dir;
    auto first = std::make_unique<SingleInstance>(socketIn(dir));
    ASSERT_TRUE(first->claim());
    EXPECT_FALSE(SingleInstance(socketIn(dir)).claim());
    EXPECT_FALSE(SingleInstance(socketIn(dir)).claim()); // a failed claim does not take the place over

    first.reset();
    EXPECT_TRUE(SingleInstance(socketIn(dir)).claim());
}

TEST(SingleInstance, WhatACrashedInstanceLeftDoesNotBlockAClaim)
{
    {
        test::TempDir dir;
        dir.write("vantory.socket", "not a socket");
        SingleInstance instance(socketIn(dir));
        EXPECT_TRUE(instance.claim()) << "over a plain file";
        EXPECT_FALSE(SingleInstance(socketIn(dir)).claim());
    }
    {
        test::TempDir dir;
        leaveDeadSocket(socketIn(dir));
        ASSERT_TRUE(QFile::exists(socketIn(dir)));
        SingleInstance instance(socketIn(dir));
        EXPECT_TRUE(instance.claim()) << "over a dead socket";
        EXPECT_FALSE(SingleInstance(socketIn(dir)).claim());
    }
}

TEST(TerminationSignal, SignalIsAnsweredOnTheEventLoopAndTheDefaultComesBack)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        {
            int calls = 0;
            TerminationSignal termination([&] { ++calls; });
            // Raising a signal whose handler is still the default would end this test process.
            ASSERT_NE(currentHandler(signal), SIG_DFL) << signal;

            raise(signal);
            EXPECT_EQ(calls, 0) << "not from inside the signal handler";
            EXPECT_TRUE(test::spinUntil([&] { return calls > 0; })) << signal;
            EXPECT_EQ(calls, 1);
        }
        EXPECT_EQ(currentHandler(SIGTERM), SIG_DFL);
        EXPECT_EQ(currentHandler(SIGINT), SIG_DFL);
        EXPECT_EQ(currentHandler(SIGHUP), SIG_DFL);
    }
}
