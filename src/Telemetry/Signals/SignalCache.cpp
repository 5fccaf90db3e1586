#include "Telemetry/Signals/SignalCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace vantory {

SignalCache::SignalCache(QString filePath, std::optional<LogHandler> logHandler)
    : filePath_(std::move(filePath)),
      logHandler_(std::move(logHandler))
{
    load();
}

void SignalCache::push(SignalPostBody record)
{
    std::lock_guard lock(mutex_);
    cachedSignals_.push_back(std::move(record));
}

void SignalCache::push(std::vector<SignalPostBody> records)
{
    std::lock_guard lock(mutex_);
    cachedSignals_.insert(cachedSignals_.end(), std::make_move_iterator(records.begin()), std::make_move_iterator(records.end()));
}

std::vector<SignalPostBody> SignalCache::pop()
{
    std::lock_guard lock(mutex_);
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
    std::lock_guard lock(mutex_);
    const std::string data = SignalPostBodyCoding::cacheJson(cachedSignals_);

    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QSaveFile file(filePath_);
    const bool saved = !filePath_.isEmpty() && file.open(QIODevice::WriteOnly)
                       && file.write(data.data(), static_cast<qint64>(data.size())) == static_cast<qint64>(data.size())
                       && file.commit();
    if (!saved) {
        log(LogLevel::error, "Error saving Telemetry cache");
        return;
    }
    log(LogLevel::info, "Saved Telemetry cache " + std::to_string(data.size()) + " bytes of "
                            + std::to_string(cachedSignals_.size()) + " signals");
    cachedSignals_.clear();
}

void SignalCache::load()
{
    std::lock_guard lock(mutex_);
    log(LogLevel::info, "Loading Telemetry cache from: " + QUrl::fromLocalFile(filePath_).toString().toStdString());

    QFile file(filePath_);
    if (filePath_.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    file.close();
    file.remove();

    auto records = SignalPostBodyCoding::fromCacheJson(data.toStdString());
    if (!records)
        return;
    log(LogLevel::info, "Loaded " + std::to_string(records->size()) + " signals");
    cachedSignals_ = std::move(*records);
}

void SignalCache::log(LogLevel level, const std::string& message) const
{
    if (logHandler_)
        logHandler_->log(level, message);
}

} // namespace vantory
