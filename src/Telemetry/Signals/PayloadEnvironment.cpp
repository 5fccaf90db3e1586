#include "Telemetry/Signals/PayloadEnvironment.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>
#include <sys/utsname.h>

namespace vantory {

namespace {

// A firmware text: cut at the first NUL, surrounding blanks removed.
std::string firmwareText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = file.readAll();
    if (const auto nul = data.indexOf('\0'); nul >= 0)
        data.truncate(nul);
    return QString::fromUtf8(data).trimmed().toStdString();
}

std::string unameMachine()
{
    utsname names{};
    if (uname(&names) != 0)
        return "unknown";
    return names.machine;
}

std::string hardwareModel()
{
    for (const char* path : {"/sys/class/dmi/id/product_name", "/proc/device-tree/model"}) {
        if (auto model = firmwareText(QString::fromLatin1(path)); !model.empty())
            return model;
    }
    return unameMachine();
}

std::string buildConstant(const char* value)
{
    return *value ? value : "0";
}

} // namespace

std::string leadingVersionNumbers(const std::string& release)
{
    static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const auto match = numbers.match(QString::fromStdString(release));
    std::string text;
    for (int group = 1; group <= 3; ++group) {
        const QString number = match.captured(group);
        if (group > 1)
            text += ".";
        text += number.isEmpty() ? "0" : number.toStdString();
    }
    return text;
}

DeviceFacts DeviceFacts::current()
{
    // Read once: every signal asks, and none of it changes while the program runs.
    static const DeviceFacts facts{
        leadingVersionNumbers(QSysInfo::kernelVersion().toStdString()),
        hardwareModel(),
        QSysInfo::buildCpuArchitecture().toStdString(),
        buildConstant(VANTORY_APP_VERSION),
        buildConstant(VANTORY_BUILD_NUMBER),
    };
    return facts;
}

PayloadEnvironment PayloadEnvironment::current(QDateTime now, QTimeZone timeZone, QLocale locale, std::string colorScheme)
{
    PayloadEnvironment environment;
    environment.now = std::move(now);
    environment.timeZone = std::move(timeZone);
    environment.locale = std::move(locale);
    environment.device = DeviceFacts::current();
    environment.colorScheme = std::move(colorScheme);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        environment.layoutDirection = QGuiApplication::layoutDirection();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect frame = screen->geometry();
            environment.screen = ScreenFacts{double(frame.width()), double(frame.height()), screen->devicePixelRatio()};
        }
    }
    return environment;
}

} // namespace vantory
