#pragma once

#include "support/LogCapture.h"
#include "support/ManualScheduler.h"
#include "support/TempDir.h"

#include "Telemetry/RecordingSignalManager.h"
#include "Telemetry/Telemetry.h"
#include "Telemetry/TelemetryManager.h"

#include <QSettings>
#include <QStandardPaths>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vantory::test {

// A telemetry client on a hand-driven clock and scheduler, with its settings suites in
// a temporary folder and every log line captured.
class TelemetryFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder());
        Telemetry::terminate();
    }

    void TearDown() override
    {
        Telemetry::terminate();
        QThreadPool::globalInstance()->waitForDone();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    QString settingsFolder() const { return QString::fromStdString(settingsDir_.path().string()); }

    std::shared_ptr<TelemetryManagerConfiguration> makeConfiguration(const std::string& appID = "test-app")
    {
        auto configuration = std::make_shared<TelemetryManagerConfiguration>(appID);
        configuration->logHandler = log_.handler(LogLevel::debug);
        return configuration;
    }

    // Initialises the facade with `configuration` and a recorder the test can read, and with
    // `activity` as the source of the application's activity when one is given.
    std::shared_ptr<RecordingSignalManager> start(std::shared_ptr<TelemetryManagerConfiguration> configuration,
                                                  std::shared_ptr<RecordingSignalManager> recorder = nullptr,
                                                  ApplicationActivity* activity = nullptr)
    {
        if (!recorder)
            recorder = std::make_shared<RecordingSignalManager>(configuration);
        TelemetryManagerDependencies dependencies;
        dependencies.signalManager = recorder;
        dependencies.scheduler = &scheduler_;
        dependencies.clock = [this] { return now_; };
        dependencies.startSessionAccounting = [this] { ++sessionAccountingStarts_; };
        dependencies.activity = activity;
        Telemetry::initialize(std::move(configuration), std::move(dependencies));
        return recorder;
    }

    std::vector<std::string> errorLines() const { return log_.lines(LogLevel::error); }
    void clearLog() { log_.clear(); }

    ManualScheduler scheduler_;
    QDateTime now_ = QDateTime(QDate(2025, 3, 1), QTime(14, 5, 9), Qt::UTC);
    int sessionAccountingStarts_ = 0;
    LogCapture log_;

private:
    TempDir settingsDir_;
};

} // namespace vantory::test
