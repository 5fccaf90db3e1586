#include "Telemetry/Signals/ColorSchemeWatcher.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vantory {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

// The portal wraps the value in one or two variants.
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

ColorSchemeWatcher& ColorSchemeWatcher::shared()
{
    static ColorSchemeWatcher* watcher = [] {
        auto* created = new ColorSchemeWatcher;
        created->setParent(QCoreApplication::instance());
        created->readOnce();
        return created;
    }();
    return *watcher;
}

ColorSchemeWatcher::ColorSchemeWatcher() = default;

std::string ColorSchemeWatcher::colorScheme() const
{
    const int value = portalValue_;
    return value < 0 ? "N/A" : colorSchemeText(static_cast<uint>(value));
}

std::string ColorSchemeWatcher::colorSchemeText(uint portalValue)
{
    return portalValue == 1 ? "Dark" : "Light";
}

void ColorSchemeWatcher::readOnce()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    read << appearanceGroup << colorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (!reply.isError())
            take(reply.argumentAt(0));
    });
}

void ColorSchemeWatcher::settingChanged(const QString& group, const QString& key, const QDBusVariant& value)
{
    if (group == appearanceGroup && key == colorSchemeKey)
        take(value.variant());
}

void ColorSchemeWatcher::take(const QVariant& value)
{
    bool ok = false;
    const uint scheme = unwrapped(value).toUInt(&ok);
    if (ok)
        portalValue_ = static_cast<int>(scheme);
}

} // namespace vantory
