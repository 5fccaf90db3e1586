#pragma once

#include "Platform/Scheduler.h"
#include "Telemetry/SignalManageable.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <string>

namespace vantory {

class ApplicationActivity;

using TelemetryClock = std::function<QDateTime()>;

// What a telemetry manager works with besides its configuration. Every empty member
// takes the production default, so the application passes nothing and tests replace
// only what they need.
struct TelemetryManagerDependencies {
    // Empty: a SignalManager that caches, sends and saves the manager's signals.
    std::shared_ptr<SignalManageable> signalManager;
    // Empty: QtScheduler::shared(), timers on the main thread.
    Scheduler* scheduler = nullptr;
    // Empty: the current UTC time.
    TelemetryClock clock;
    // Starts usage-session accounting when a new session id is assigned and session
    // statistics are enabled. Empty: the manager's SessionManager starts a new session
    // on the main thread.
    std::function<void()> startSessionAccounting;
    // Empty: the system's time zone.
    std::function<QTimeZone()> timeZone;
    // Empty: the default QLocale.
    std::function<QLocale()> locale;
    // Where the signal cache file lives. Empty: the application's cache folder.
    QString cacheFolder;
    // Empty: the desktop portal's preference.
    std::function<std::string()> colorScheme;
    // Null: the graphical application's active state.
    ApplicationActivity* activity = nullptr;
};

} // namespace vantory
