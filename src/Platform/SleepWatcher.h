#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

class QDBusPendingCallWatcher;

namespace vantory {

// Tells when the system is about to sleep and when it has woken, from logind. While awake
// it holds a delay inhibitor, so the system waits (for a few seconds at most) until
// willSleep() has been handled. Without the bus or logind it stays silent.
class SleepWatcher final : public QObject {
    Q_OBJECT

public:
    explicit SleepWatcher(QDBusConnection bus = QDBusConnection::systemBus(), QObject* parent = nullptr);

Q_SIGNALS:
    void willSleep();
    void didWake();

private Q_SLOTS:
    void prepareForSleep(bool sleeping);

private:
    void takeInhibitor();
    void inhibitorAnswered(QDBusPendingCallWatcher* call);

    QDBusConnection bus_;
    QDBusUnixFileDescriptor inhibitor_;
    bool sleeping_ = false;
};

} // namespace vantory
