#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/LogHandler.h"
#include "Telemetry/SignalEnricher.h"

#include <QUrl>
#include <QUuid>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// The telemetry client's settings. One object is shared by the manager, the signal
// manager and the caller, so later changes are seen by every later signal. The plain
// fields are meant to be set before signals are sent; the session id and the default
// user, which change while signals flow, are guarded.
class TelemetryManagerConfiguration {
public:
    explicit TelemetryManagerConfiguration(std::string appID, std::optional<std::string> salt = std::nullopt,
                                           std::optional<QUrl> baseURL = std::nullopt,
                                           std::optional<std::string> namespace_ = std::nullopt);

    TelemetryManagerConfiguration(const TelemetryManagerConfiguration&) = delete;
    TelemetryManagerConfiguration& operator=(const TelemetryManagerConfiguration&) = delete;

    const std::string& telemetryAppID() const { return telemetryAppID_; }
    const QUrl& apiBaseURL() const { return apiBaseURL_; }
    const std::optional<std::string>& namespace_() const { return apiNamespace_; }
    const std::string& salt() const { return salt_; }

    std::optional<std::string> defaultUser() const;
    void setDefaultUser(std::optional<std::string> user);

    QUuid sessionID() const;
    // Stores the id, then starts session accounting and sends the session-started
    // signal as the flags below ask.
    void setSessionID(QUuid id);

    bool telemetryAllowDebugBuilds() const { return sendSignalsInDebugConfiguration; }
    void setTelemetryAllowDebugBuilds(bool allow) { sendSignalsInDebugConfiguration = allow; }

    bool testMode() const { return testMode_.value_or(false); }
    void setTestMode(bool testMode) { testMode_ = testMode; }

    // Unless set, true exactly when XCODE_RUNNING_FOR_PREVIEWS is "1" (read on every call).
    bool previewMode() const;
    void setPreviewMode(bool previewMode) { previewMode_ = previewMode; }

    std::optional<std::string> defaultSignalPrefix;
    std::optional<std::string> defaultParameterPrefix;
    std::function<SignalParameters()> defaultParameters = [] { return SignalParameters{}; };
    bool sendNewSessionBeganSignal = true;
    bool sendSignalsInDebugConfiguration = false;
    bool analyticsDisabled = false;
    bool reservedParameterWarningsEnabled = true;
    bool sessionStatsEnabled = true;
    bool showDebugLogs = false;
    std::optional<LogHandler> logHandler = LogHandler::standard(LogLevel::info);
    std::vector<std::shared_ptr<SignalEnricher>> metadataEnrichers;

private:
    const std::string telemetryAppID_;
    const QUrl apiBaseURL_;
    const std::optional<std::string> apiNamespace_;
    const std::string salt_;

    mutable std::mutex mutex_;
    std::optional<std::string> defaultUser_;
    QUuid sessionID_;

    std::optional<bool> testMode_;
    std::optional<bool> previewMode_;
};

} // namespace vantory
