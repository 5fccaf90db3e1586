#pragma once

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <optional>
#include <string>

namespace vantory {

// Facts about the machine and the build that do not change while the program runs.
struct DeviceFacts {
    // The kernel release's first three numbers, e.g. "6.1.0".
    std::string kernelVersion;
    std::string modelName;
    std::string architecture;
    std::string appVersion;
    std::string buildNumber;

    static DeviceFacts current();
};

struct ScreenFacts {
    double width = 0;
    double height = 0;
    double scaleFactor = 1;
};

// Everything the default parameters are made from besides the usage history.
struct PayloadEnvironment {
    QDateTime now;
    QTimeZone timeZone;
    QLocale locale;
    DeviceFacts device;
    // None without a graphical application or screen.
    std::optional<ScreenFacts> screen;
    // "Light", "Dark" or "N/A".
    std::string colorScheme = "N/A";
    // None without a graphical application.
    std::optional<Qt::LayoutDirection> layoutDirection;

    // The live values; call on the main thread.
    static PayloadEnvironment current(QDateTime now, QTimeZone timeZone, QLocale locale, std::string colorScheme);
};

// The three leading numbers of a kernel release ("6.1.0-18-amd64" gives "6.1.0"),
// with missing ones taken as 0.
std::string leadingVersionNumbers(const std::string& release);

} // namespace vantory
