#include "Telemetry/Signals/SignalCache.h"

#include "Platform/Background.h"
#include "Telemetry/Signals/SignalCacheFile.h"

#include <QUrl>
#include <algorithm>
#include <numeric>

namespace vantory {

namespace {

// Removes the `excess` records with the earliest dates; the rest keep their order.
void dropOldest(std::vector<SignalPostBody>& records, std::size_t excess)
{
    std::vector<std::size_t> byDate(records.size());
    std::iota(byDate.begin(), byDate.end(), 0);
    std::stable_sort(byDate.begin(), byDate.end(),
                     [&](std::size_t a, std::size_t b) { return records[a].receivedAt < records[b].receivedAt; });
    std::vector<bool> dropped(records.size(), false);
    for (std::size_t i = 0; i < excess; ++i)
        dropped[byDate[i]] = true;
    std::size_t index = 0;
    std::erase_if(records, [&](const SignalPostBody&) { return dropped[index++]; });
}

std::string countLimit()
{
    return "the cache keeps at most " + std::to_string(SignalCache::maximumNumberOfSignals) + " signals";
}

} // namespace

SignalCache::SignalCache(QString filePath, std::optional<LogHandler> logHandler)
    : filePath_(std::move(filePath)),
      logHandler_(std::move(logHandler))
{
}

void SignalCache::load(QObject* context, std::function<void()> loaded)
{
    log(LogLevel::info, "Loading Telemetry cache from: " + QUrl::fromLocalFile(filePath_).toString().toStdString());
    if (filePath_.isEmpty() || !context) {
        if (!filePath_.isEmpty())
            takeFile();
        loaded();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        loading_ = true;
    }
    // A FIFO, a device or a large file must never hold up the main thread.
    runInBackground(context, [self = shared_from_this()] { self->takeFile(); }, std::move(loaded));
}

void SignalCache::takeFile()
{
    auto reading = SignalCacheFile::take(filePath_.toStdString());
    using Outcome = SignalCacheFile::Reading::Outcome;
    if (reading.outcome == Outcome::discarded)
        log(LogLevel::error, "Discarded the Telemetry cache file: " + reading.discardReason);
    if (reading.outOfRangeDates > 0)
        log(LogLevel::error, "Dropped " + std::to_string(reading.outOfRangeDates) + " cached signals dated out of range");
    if (reading.outcome == Outcome::loaded)
        log(LogLevel::info, "Loaded " + std::to_string(reading.records.size()) + " signals");

    std::lock_guard lock(mutex_);
    // What was pushed while the file was read is newer than the file.
    reading.records.insert(reading.records.end(), std::make_move_iterator(cachedSignals_.begin()),
                           std::make_move_iterator(cachedSignals_.end()));
    cachedSignals_ = std::move(reading.records);
    dropOldestBeyond(maximumNumberOfSignals, countLimit());
    loading_ = false;
    loadedCondition_.notify_all();
}

void SignalCache::push(SignalPostBody record)
{
    std::lock_guard lock(mutex_);
    cachedSignals_.push_back(std::move(record));
    dropOldestBeyond(maximumNumberOfSignals, countLimit());
}

void SignalCache::push(std::vector<SignalPostBody> records)
{
    std::lock_guard lock(mutex_);
    cachedSignals_.insert(cachedSignals_.end(), std::make_move_iterator(records.begin()), std::make_move_iterator(records.end()));
    dropOldestBeyond(maximumNumberOfSignals, countLimit());
}

std::vector<SignalPostBody> SignalCache::pop()
{
    std::lock_guard lock(mutex_);
    if (loading_)
        return {};
    const auto taken = std::min(cachedSignals_.size(), maximumNumberOfSignalsToPopAtOnce);
    std::vector<SignalPostBody> batch(std::make_move_iterator(cachedSignals_.begin()),
                                      std::make_move_iterator(cachedSignals_.begin() + static_cast<std::ptrdiff_t>(taken)));
    cachedSignals_.erase(cachedSignals_.begin(), cachedSignals_.begin() + static_cast<std::ptrdiff_t>(taken));
    return batch;
}

std::size_t SignalCache::count() const
{
    std::lock_guard lock(mutex_);
    return cachedSignals_.size();
}

void SignalCache::backupCache()
{
    std::unique_lock lock(mutex_);
    loadedCondition_.wait(lock, [this] { return !loading_; });
    std::string data = SignalPostBodyCoding::cacheJson(cachedSignals_);
    // Large parameters can make even the records the cache keeps too large to be read back.
    while (data.size() > SignalCacheFile::maximumBytes) {
        const auto fitting = static_cast<std::size_t>(static_cast<double>(cachedSignals_.size())
                                                      * (static_cast<double>(SignalCacheFile::maximumBytes) / data.size()));
        dropOldestBeyond(std::min(fitting, cachedSignals_.size() - 1),
                         "the cache file keeps at most " + std::to_string(SignalCacheFile::maximumBytes) + " bytes");
        data = SignalPostBodyCoding::cacheJson(cachedSignals_);
    }

    if (filePath_.isEmpty() || !SignalCacheFile::replace(filePath_.toStdString(), data)) {
        log(LogLevel::error, "Error saving Telemetry cache");
        return;
    }
    log(LogLevel::info, "Saved Telemetry cache " + std::to_string(data.size()) + " bytes of "
                            + std::to_string(cachedSignals_.size()) + " signals");
    cachedSignals_.clear();
}

void SignalCache::dropOldestBeyond(std::size_t maximum, const std::string& limit)
{
    if (cachedSignals_.size() <= maximum)
        return;
    const std::size_t excess = cachedSignals_.size() - maximum;
    dropOldest(cachedSignals_, excess);
    log(LogLevel::error, "Dropped the " + std::to_string(excess) + " oldest signals: " + limit);
}

void SignalCache::log(LogLevel level, const std::string& message) const
{
    if (logHandler_)
        logHandler_->log(level, message);
}

} // namespace vantory
