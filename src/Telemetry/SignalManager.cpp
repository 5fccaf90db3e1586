#include "Telemetry/SignalManager.h"

#include "Platform/Utf8Text.h"
#include "Telemetry/Helpers/CryptoHashing.h"
#include "Telemetry/Helpers/DefaultUserIdentifier.h"
#include "Telemetry/Signals/TelemetryError.h"
#include "Telemetry/TelemetryManagerConfiguration.h"

#include <QCoreApplication>
#include <QDir>
#include <chrono>
#include <cmath>

namespace vantory {

namespace {

using namespace std::chrono_literals;

constexpr auto sendInterval = 10s;

std::optional<LogHandler> logHandlerOf(const TelemetryManagerConfiguration& configuration)
{
    return configuration.previewMode() ? std::nullopt : configuration.logHandler;
}

void logTo(const std::optional<LogHandler>& handler, LogLevel level, const std::string& message)
{
    if (handler)
        handler->log(level, message);
}

SignalParameters enrichments(const TelemetryManagerConfiguration& configuration, const std::string& signalName,
                             const std::optional<std::string>& customUserID, std::optional<double> floatValue)
{
    SignalParameters combined;
    for (const auto& enricher : configuration.metadataEnrichers) {
        if (enricher)
            combined = applying(std::move(combined), enricher->enrich(signalName, customUserID, floatValue));
    }
    return combined;
}

} // namespace

std::shared_ptr<SignalManager> SignalManager::start(std::shared_ptr<const TelemetryManagerConfiguration> configuration,
                                                    Services services)
{
    std::shared_ptr<SignalManager> manager(new SignalManager(std::move(configuration), std::move(services)));
    std::weak_ptr<SignalManager> weak = manager;
    if (auto* application = QCoreApplication::instance()) {
        manager->quitConnection_ = QObject::connect(application, &QCoreApplication::aboutToQuit, [weak] {
            if (auto self = weak.lock())
                self->stop();
        });
    }
    manager->scheduleNextTick();
    manager->cache_->load(QCoreApplication::instance(), [weak] {
        if (auto self = weak.lock())
            self->cacheDidLoad();
    });
    return manager;
}

SignalManager::SignalManager(std::shared_ptr<const TelemetryManagerConfiguration> configuration, Services services)
    : configuration_(std::move(configuration)),
      services_(std::move(services)),
      cache_(std::make_shared<SignalCache>(services_.cacheFilePath, logHandlerOf(*configuration_))),
      sender_(services_.answerWaitAtQuit)
{
}

SignalManager::~SignalManager()
{
    QObject::disconnect(quitConnection_);
    stop();
}

QString SignalManager::cacheFilePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("telemetrysignalcache"));
}

void SignalManager::stop()
{
    {
        // No batch is then between the cache and the sender.
        std::lock_guard lock(sendMutex_);
        if (stopped_.exchange(true))
            return;
    }
    log(LogLevel::debug, "appWillTerminate()");
    sender_.stop();
    cache_->backupCache();
}

void SignalManager::cacheDidLoad()
{
    attemptToSendNextBatchOfCachedSignals();
    loadedCache_ = true;
}

void SignalManager::scheduleNextTick()
{
    std::weak_ptr<SignalManager> weak = weak_from_this();
    services_.scheduler->post(sendInterval, QCoreApplication::instance(), [weak] {
        auto self = weak.lock();
        if (!self || self->stopped_)
            return;
        self->attemptToSendNextBatchOfCachedSignals();
        self->scheduleNextTick();
    });
}

void SignalManager::processSignal(const std::string& signalName, const SignalParameters& parameters,
                                  std::optional<double> floatValue, const std::optional<std::string>& customUserID,
                                  std::shared_ptr<const TelemetryManagerConfiguration> configuration)
{
    auto build = [weak = weak_from_this(), signalName, parameters, floatValue, customUserID, configuration] {
        if (auto self = weak.lock())
            self->record(signalName, parameters, floatValue, customUserID, *configuration);
    };
    // The default parameters ask the screen and the session history, which live on the main thread.
    if (auto* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, std::move(build), Qt::QueuedConnection);
    else
        build();
}

void SignalManager::record(const std::string& signalName, const SignalParameters& parameters, std::optional<double> floatValue,
                           const std::optional<std::string>& customUserID, const TelemetryManagerConfiguration& configuration)
{
    if (stopped_)
        return;
    if (floatValue && !std::isfinite(*floatValue)) {
        log(LogLevel::error, "Leaving out the float value of signal '" + signalName + "': it is not a finite number");
        floatValue.reset();
    }
    const std::string user = customUserID ? *customUserID : defaultUserIdentifier();
    SignalParameters payload = services_.defaultPayload ? services_.defaultPayload() : SignalParameters{};
    payload = applying(std::move(payload), enrichments(configuration, signalName, customUserID, floatValue));
    payload = applying(std::move(payload), parameters);

    SignalPostBody record{
        services_.clock(),
        configuration.telemetryAppID(),
        CryptoHashing::sha256(user, configuration.salt()),
        configuration.sessionID().toString(QUuid::WithoutBraces).toUpper().toStdString(),
        signalName,
        floatValue,
        std::move(payload),
        configuration.testMode() ? "true" : "false",
    };
    log(LogLevel::debug, "Process signal: " + record.description());
    cache_->push(std::move(record));
}

void SignalManager::attemptToSendNextBatchOfCachedSignals()
{
    std::lock_guard lock(sendMutex_);
    if (stopped_)
        return;
    log(LogLevel::debug, "Current signal cache count: " + std::to_string(cache_->count()));
    auto batch = cache_->pop();
    if (batch.empty())
        return;
    log(LogLevel::info, "Sending " + std::to_string(batch.size()) + " signals leaving a cache of "
                            + std::to_string(cache_->count()) + " signals");
    send(std::move(batch));
}

void SignalManager::send(std::vector<SignalPostBody> batch)
{
    const auto url = getServiceUrl(configuration_->apiBaseURL(), configuration_->namespace_());
    if (!url) {
        log(LogLevel::error, "Unable to construct signal API URL for namespace " + configuration_->namespace_().value_or("nil"));
        log(LogLevel::error, TelemetryError{TelemetryError::Kind::invalidEndpointUrl}.name());
        cache_->push(std::move(batch));
        return;
    }

    std::string body;
    try {
        body = SignalPostBodyCoding::wireJson(batch);
    } catch (const std::exception& error) {
        log(LogLevel::error, std::string("Unable to encode signals: ") + error.what());
        cache_->push(std::move(batch));
        return;
    }
    log(LogLevel::debug, body);

    // The completion runs on the sender thread and keeps only what outlives the manager.
    auto completion = [cache = cache_, handler = logHandlerOf(*configuration_), inFlight = postsInFlight_,
                       batch = std::move(batch)](const SendOutcome& outcome) mutable {
        if (const auto failure = failureOf(outcome)) {
            logTo(handler, LogLevel::error, *failure);
            cache->push(std::move(batch));
        } else if (!outcome.data.isEmpty() && isValidUTF8(std::string_view(outcome.data.constData(), outcome.data.size()))) {
            logTo(handler, LogLevel::debug, outcome.data.toStdString());
        }
        --*inFlight;
    };
    ++*postsInFlight_;
    sender_.post(*url, QByteArray::fromStdString(body), std::move(completion));
}

std::string SignalManager::defaultUserIdentifier()
{
    return vantory::defaultUserIdentifier(configuration_.get(), userIdentifierMutex_);
}

std::optional<QUrl> SignalManager::getServiceUrl(const QUrl& baseURL, const std::optional<std::string>& namespace_)
{
    QString text = baseURL.toString();
    if (!text.endsWith(QLatin1Char('/')))
        text += QLatin1Char('/');
    if (namespace_ && !namespace_->empty())
        text += QStringLiteral("v2/namespace/") + QString::fromStdString(*namespace_) + QLatin1Char('/');
    else
        text += QStringLiteral("v2/");
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return std::nullopt;
    return url;
}

void SignalManager::log(LogLevel level, const std::string& message) const
{
    logTo(logHandlerOf(*configuration_), level, message);
}

} // namespace vantory
