#include "Platform/SleepWatcher.h"
#include "support/EventLoop.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

using namespace vantory;
using test::spinUntil;

namespace {

const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString loginPath = QStringLiteral("/org/freedesktop/login1");
const QString loginManager = QStringLiteral("org.freedesktop.login1.Manager");

// Whether every copy of the pipe's write end has been closed.
bool hungUp(int readEnd)
{
    pollfd descriptor{readEnd, POLLIN, 0};
    return poll(&descriptor, 1, 0) == 1 && (descriptor.revents & POLLHUP) != 0;
}

// A message bus of the test's own, so that no test depends on the machine's system bus.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        spinUntil([&] { return daemon_.canReadLine() || daemon_.state() == QProcess::NotRunning; });
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const auto& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        daemon_.waitForFinished();
    }

    QDBusConnection connect(const QString& name)
    {
        names_.append(name);
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

// Stands in for logind: hands out one end of a pipe for each inhibitor, keeping the other.
class FakeLogind : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    struct Inhibitor {
        QStringList arguments;
        int readEnd;
    };
    explicit FakeLogind(QDBusConnection bus) : bus_(std::move(bus))
    {
        bus_.registerObject(loginPath, this, QDBusConnection::ExportAllSlots);
        bus_.registerService(loginService);
    }
    ~FakeLogind() override
    {
        for (const auto& inhibitor : inhibitors)
            close(inhibitor.readEnd);
    }
    void prepareForSleep(bool sleeping)
    {
        bus_.send(QDBusMessage::createSignal(loginPath, loginManager, QStringLiteral("PrepareForSleep")) << sleeping);
    }

    void sendHeldAnswers()
    {
        for (const auto& answer : heldAnswers)
            bus_.send(answer);
        heldAnswers.clear();
    }

    std::vector<Inhibitor> inhibitors;
    bool holdAnswers = false;
    std::vector<QDBusMessage> heldAnswers;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            return {};
        inhibitors.push_back({{what, who, why, mode}, ends[0]});
        QDBusUnixFileDescriptor writeEnd(ends[1]); // holds a copy of its own
        close(ends[1]);
        if (holdAnswers) {
            setDelayedReply(true);
            heldAnswers.push_back(message().createReply(QVariant::fromValue(writeEnd)));
        }
        return writeEnd;
    }
    void Ping() { }

private:
    QDBusConnection bus_;
};

// Waits until everything `bus` was sent before this call's answer has been handled here.
void roundTrip(QDBusConnection& bus)
{
    QDBusPendingCallWatcher ping(bus.asyncCall(QDBusMessage::createMethodCall(loginService, loginPath, loginManager, "Ping")));
    ASSERT_TRUE(spinUntil([&] { return ping.isFinished(); }));
    QCoreApplication::sendPostedEvents();
}

// Waits until the bus has handled everything `bus` sent before, such as its match rules.
void syncWithBus(QDBusConnection& bus)
{
    const QDBusMessage id = bus.call(
        QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
    ASSERT_EQ(id.type(), QDBusMessage::ReplyMessage) << id.errorMessage().toStdString();
}

// Counts a signal on the bus, as a marker that what a sender sent before it has arrived.
class Marker : public QObject {
    Q_OBJECT

public:
    int count = 0;
public Q_SLOTS:
    void seen() { ++count; }
};

struct Counts {
    int willSleep = 0;
    int didWake = 0;
};

void count(SleepWatcher& watcher, Counts& counts)
{
    QObject::connect(&watcher, &SleepWatcher::willSleep, [&] { ++counts.willSleep; });
    QObject::connect(&watcher, &SleepWatcher::didWake, [&] { ++counts.didWake; });
}

} // namespace

TEST(SleepWatcher, HoldsAnInhibitorWhileAwakeAndLetsItGoForSleep)
{
    PrivateBus bus;
    QDBusConnection watcherBus = bus.connect("sleep-watcher");
    ASSERT_TRUE(watcherBus.isConnected());
    FakeLogind logind(bus.connect("fake-logind"));
    auto watcher = std::make_unique<SleepWatcher>(watcherBus);
    Counts counts;
    count(*watcher, counts);

    ASSERT_TRUE(spinUntil([&] { return logind.inhibitors.size() == 1; }));
    EXPECT_EQ(logind.inhibitors[0].arguments, QStringList({"sleep", "Vantory", "Stop a conversion before sleeping", "delay"}));
    roundTrip(watcherBus);
    EXPECT_FALSE(hungUp(logind.inhibitors[0].readEnd));

    // The conversion is stopped while the system still waits, and only then let go.
    bool heldDuringWillSleep = false;
    QObject::connect(watcher.get(), &SleepWatcher::willSleep,
                     [&] { heldDuringWillSleep = !hungUp(logind.inhibitors[0].readEnd); });
    logind.prepareForSleep(true);
    ASSERT_TRUE(spinUntil([&] { return counts.willSleep == 1; }));
    EXPECT_TRUE(heldDuringWillSleep);
    EXPECT_TRUE(hungUp(logind.inhibitors[0].readEnd));
    EXPECT_EQ(counts.didWake, 0);

    logind.prepareForSleep(false);
    ASSERT_TRUE(spinUntil([&] { return counts.didWake == 1 && logind.inhibitors.size() == 2; }));
    EXPECT_EQ(logind.inhibitors[1].arguments, logind.inhibitors[0].arguments);
    roundTrip(watcherBus);
    EXPECT_FALSE(hungUp(logind.inhibitors[1].readEnd));
    EXPECT_EQ(counts.willSleep, 1);

    watcher.reset();
    EXPECT_TRUE(hungUp(logind.inhibitors[1].readEnd));
}

TEST(SleepWatcher, AnInhibitorGrantedOnlyAfterSleepBeganIsLetGo)
{
    PrivateBus bus;
    QDBusConnection watcherBus = bus.connect("sleep-watcher");
    FakeLogind logind(bus.connect("fake-logind"));
    logind.holdAnswers = true;
    SleepWatcher watcher(watcherBus);
    Counts counts;
    count(watcher, counts);
    ASSERT_TRUE(spinUntil([&] { return logind.inhibitors.size() == 1; }));

    logind.prepareForSleep(true);
    ASSERT_TRUE(spinUntil([&] { return counts.willSleep == 1; }));
    logind.sendHeldAnswers();
    roundTrip(watcherBus);

    EXPECT_TRUE(hungUp(logind.inhibitors[0].readEnd));
}

TEST(SleepWatcher, SilentWithoutLogind)
{
    PrivateBus bus;
    QDBusConnection watcherBus = bus.connect("sleep-watcher");
    SleepWatcher watcher(watcherBus);
    Counts counts;
    count(watcher, counts);

    // Another program sends the signal under logind's path and interface; it is not logind.
    QDBusConnection stranger = bus.connect("stranger");
    Marker marker;
    watcherBus.connect(QString(), "/marker", "test.Marker", "Seen", &marker, SLOT(seen()));
    syncWithBus(watcherBus);
    stranger.send(QDBusMessage::createSignal(loginPath, loginManager, "PrepareForSleep") << true);
    stranger.send(QDBusMessage::createSignal("/marker", "test.Marker", "Seen"));
    ASSERT_TRUE(spinUntil([&] { return marker.count == 1; }));
    EXPECT_EQ(counts.willSleep, 0);

    // No bus at all.
    SleepWatcher unconnected(QDBusConnection::connectToBus(QString("unix:path=/nonexistent/bus"), "no-bus"));
    QDBusConnection::disconnectFromBus("no-bus");
}

#include "SleepWatcherTest.moc"
