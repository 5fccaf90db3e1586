#pragma once

#include "Platform/Scheduler.h"
#include "Telemetry/SignalManageable.h"
#include "Telemetry/Signals/BatchSender.h"
#include "Telemetry/Signals/SignalCache.h"

#include <QDateTime>
#include <QMetaObject>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace vantory {

class TelemetryManagerConfiguration;

// Turns signals into records, keeps them in a cache that outlives the process through a
// file, and posts them to the service in batches of up to 100: once at start, then every
// 10 seconds. A batch that does not arrive goes back behind the newer records.
class SignalManager final : public SignalManageable, public std::enable_shared_from_this<SignalManager> {
public:
    struct Services {
        Scheduler* scheduler = nullptr;
        std::function<QDateTime()> clock;
        // Where the cache is saved and read back.
        QString cacheFilePath;
        // The default parameters of one signal; called on the main thread.
        std::function<SignalParameters()> defaultPayload;
        // How long a quit waits for the answer to a batch the service may have read whole.
        std::chrono::milliseconds answerWaitAtQuit = std::chrono::seconds(2);
    };

    // Starts the send tick and loads the cache in the background; the first batch goes
    // out once the cache is loaded.
    static std::shared_ptr<SignalManager> start(std::shared_ptr<const TelemetryManagerConfiguration> configuration,
                                                Services services);
    ~SignalManager() override;

    // Builds the record on the main thread and queues it; returns at once.
    void processSignal(const std::string& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                       const std::optional<std::string>& customUserID,
                       std::shared_ptr<const TelemetryManagerConfiguration> configuration) override;
    void attemptToSendNextBatchOfCachedSignals() override;
    std::string defaultUserIdentifier() override;
    // Ends sending (posts in flight come back into the cache) and saves the cache.
    void stop() override;

    std::size_t cachedSignalCount() const { return cache_->count(); }
    // Batches posted whose answer has not been handled yet.
    int postsInFlight() const { return *postsInFlight_; }
    // Whether the cache file was read and the first batch attempted.
    bool hasLoadedCache() const { return loadedCache_; }

    // The endpoint: the base URL, "/" when it lacks one, then "v2/" or "v2/namespace/<namespace>/".
    static std::optional<QUrl> getServiceUrl(const QUrl& baseURL, const std::optional<std::string>& namespace_);

    // "telemetrysignalcache" in `folder`.
    static QString cacheFilePath(const QString& folder);

private:
    SignalManager(std::shared_ptr<const TelemetryManagerConfiguration> configuration, Services services);
    void scheduleNextTick();
    void cacheDidLoad();
    void record(const std::string& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                const std::optional<std::string>& customUserID, const TelemetryManagerConfiguration& configuration);
    void send(std::vector<SignalPostBody> batch);
    void log(LogLevel level, const std::string& message) const;

    const std::shared_ptr<const TelemetryManagerConfiguration> configuration_;
    const Services services_;
    const std::shared_ptr<SignalCache> cache_;
    const std::shared_ptr<std::atomic<int>> postsInFlight_ = std::make_shared<std::atomic<int>>(0);
    BatchSender sender_;
    std::mutex userIdentifierMutex_;
    // Held from taking a batch until it is posted, and while stopping.
    std::mutex sendMutex_;
    std::atomic<bool> stopped_ = false;
    std::atomic<bool> loadedCache_ = false;
    QMetaObject::Connection quitConnection_;
};

} // namespace vantory
