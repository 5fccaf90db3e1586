#pragma once

#include "Telemetry/LogHandler.h"
#include "Telemetry/Signals/SignalPostBody.h"

#include <QString>
#include <mutex>
#include <optional>
#include <vector>

namespace vantory {

// The records waiting to be sent, oldest first. It reads its file once when it is made
// (and deletes it) and writes it again on `backupCache`.
class SignalCache {
public:
    static constexpr std::size_t maximumNumberOfSignalsToPopAtOnce = 100;

    SignalCache(QString filePath, std::optional<LogHandler> logHandler);

    void push(SignalPostBody record);
    void push(std::vector<SignalPostBody> records);
    // Removes and returns up to 100 of the oldest records.
    std::vector<SignalPostBody> pop();
    std::size_t count() const;

    // Writes every record to the file and empties the cache; on failure the records stay.
    void backupCache();

private:
    void load();
    void log(LogLevel level, const std::string& message) const;

    const QString filePath_;
    const std::optional<LogHandler> logHandler_;
    mutable std::mutex mutex_;
    std::vector<SignalPostBody> cachedSignals_;
};

} // namespace vantory
