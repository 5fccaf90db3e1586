#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/Sessions/UsageStatistics.h"
#include "Telemetry/Signals/PayloadEnvironment.h"

namespace vantory::DefaultSignalPayload {

inline constexpr const char* telemetryClientVersion = "2.12.0";

// The parameters every signal carries under its own: the app, the device, the run
// context, the user's preferences, the calendar and the usage history.
SignalParameters parameters(const PayloadEnvironment& environment, const UsageStatistics& usage);

// "UTC+2", "UTC+5:30", "UTC-3:30", "UTC+0" for an offset from GMT in seconds.
std::string timeZoneText(int offsetSeconds);

// The calendar entries. Weeks begin on Sunday and week 1 is the week holding 1 January,
// so the last days of December can fall in week 1 of the next year.
SignalParameters calendarParameters(const QDateTime& localNow);

} // namespace vantory::DefaultSignalPayload
