#include "Platform/SleepWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vantory {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString manager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

SleepWatcher::SleepWatcher(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus))
{
    if (!bus_.isConnected())
        return;
    bus_.connect(service, path, manager, QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    takeInhibitor();
}

void SleepWatcher::prepareForSleep(bool sleeping)
{
    sleeping_ = sleeping;
    if (sleeping) {
        Q_EMIT willSleep();
        inhibitor_ = {}; // closing the descriptor lets the system go to sleep
    } else {
        Q_EMIT didWake();
        takeInhibitor();
    }
}

// Asked without waiting for the answer: a slow or missing logind never holds up the app.
void SleepWatcher::takeInhibitor()
{
    QDBusMessage inhibit = QDBusMessage::createMethodCall(service, path, manager, QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << QStringLiteral("Vantory") << QStringLiteral("Stop a conversion before sleeping")
            << QStringLiteral("delay");
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(inhibit), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &SleepWatcher::inhibitorAnswered);
}

void SleepWatcher::inhibitorAnswered(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
    // An answer that comes only after the system began to sleep is let go at once.
    if (reply.isValid() && !sleeping_)
        inhibitor_ = reply.value();
}

} // namespace vantory
