#pragma once

#include "Telemetry/LogHandler.h"
#include "Telemetry/Signals/SignalPostBody.h"

#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QObject;

namespace vantory {

// The records waiting to be sent. It reads its file once, after it is made (and deletes
// it), and writes it again on `backupCache`. It keeps at most `maximumNumberOfSignals`:
// beyond that the records with the oldest dates go.
class SignalCache : public std::enable_shared_from_this<SignalCache> {
public:
    static constexpr std::size_t maximumNumberOfSignalsToPopAtOnce = 100;
    static constexpr std::size_t maximumNumberOfSignals = 5000;

    SignalCache(QString filePath, std::optional<LogHandler> logHandler);

    // Reads the file on the global thread pool, then runs `loaded` on the thread of
    // `context`. Without a context it reads at once and runs `loaded` before returning.
    // Records pushed meanwhile stay behind the file's older ones.
    void load(QObject* context, std::function<void()> loaded);

    void push(SignalPostBody record);
    void push(std::vector<SignalPostBody> records);
    // Removes and returns up to 100 of the oldest records; none while the file is read.
    std::vector<SignalPostBody> pop();
    std::size_t count() const;

    // Writes every record to the file and empties the cache; on failure the records stay.
    // A load in progress is waited for.
    void backupCache();

private:
    void takeFile();
    void dropOldestBeyond(std::size_t maximum, const std::string& limit);
    void log(LogLevel level, const std::string& message) const;

    const QString filePath_;
    const std::optional<LogHandler> logHandler_;
    mutable std::mutex mutex_;
    std::condition_variable loadedCondition_;
    bool loading_ = false;
    std::vector<SignalPostBody> cachedSignals_;
};

} // namespace vantory
