#pragma once

#include "Platform/Scheduler.h"
#include "Telemetry/SignalManageable.h"

#include <QDateTime>
#include <functional>
#include <memory>

namespace vantory {

using TelemetryClock = std::function<QDateTime()>;

// What a telemetry manager works with besides its configuration. Every empty member
// takes the production default, so the application passes nothing and tests replace
// only what they need.
struct TelemetryManagerDependencies {
    // Empty: an in-memory RecordingSignalManager for the manager's configuration.
    std::shared_ptr<SignalManageable> signalManager;
    // Empty: QtScheduler::shared(), timers on the main thread.
    Scheduler* scheduler = nullptr;
    // Empty: the current UTC time.
    TelemetryClock clock;
    // Starts usage-session accounting when a new session id is assigned and session
    // statistics are enabled. Empty: no accounting.
    std::function<void()> startSessionAccounting;
};

} // namespace vantory
