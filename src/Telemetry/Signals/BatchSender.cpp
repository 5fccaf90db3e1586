#include "Telemetry/Signals/BatchSender.h"

#include "Telemetry/Signals/PayloadEnvironment.h"
#include "Telemetry/Signals/SingleUseBody.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <future>
#include <map>

namespace vantory {

namespace {

constexpr int requestTimeoutMs = 60'000;

QNetworkRequest requestTo(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setHeader(QNetworkRequest::UserAgentHeader, telemetryUserAgent());
    // Qt fills in the user's languages when a request has none; the service needs none.
    request.setRawHeader("Accept-Language", "*");
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(requestTimeoutMs);
    return request;
}

QString transportErrorText(const QNetworkReply& reply)
{
    // Qt's own text for it is "Unknown error".
    if (reply.error() == QNetworkReply::ContentReSendError)
        return QStringLiteral("Connection closed before the answer");
    return reply.errorString();
}

SendOutcome outcomeOf(const QNetworkReply& reply, QByteArray answerStart)
{
    SendOutcome outcome;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        outcome.statusCode = status.toInt();
    else if (reply.error() != QNetworkReply::NoError)
        outcome.transportError = transportErrorText(reply);
    outcome.data = std::move(answerStart);
    return outcome;
}

} // namespace

class BatchSender::Worker final : public QObject {
public:
    void post(const QUrl& url, const QByteArray& body, Completion completion)
    {
        if (!network_)
            network_ = new QNetworkAccessManager(this);
        auto* upload = new SingleUseBody(body);
        QNetworkReply* reply = network_->post(requestTo(url), upload);
        upload->setParent(reply);
        // Qt stops reading from the connection once this much is waiting.
        reply->setReadBufferSize(maximumAnswerBytesRead);
        inFlight_[reply] = {std::move(completion), upload, {}};
        QObject::connect(reply, &QNetworkReply::readyRead, this, [this, reply] { readAnswer(reply); });
        QObject::connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
    }

    // Ends every post in flight (see BatchSender::stop), then calls `done`.
    void finishAll(std::chrono::milliseconds answerWait, std::function<void()> done)
    {
        allFinished_ = std::move(done);
        for (QNetworkReply* reply : replies()) {
            if (!inFlight_.at(reply).body->readCompletely())
                reply->abort();
        }
        QTimer::singleShot(answerWait, this, [this] {
            for (QNetworkReply* reply : replies())
                reply->abort();
        });
        reportIfAllFinished();
    }

private:
    struct InFlight {
        Completion completion;
        SingleUseBody* body = nullptr;
        QByteArray answerStart;
    };

    std::vector<QNetworkReply*> replies() const
    {
        std::vector<QNetworkReply*> all;
        for (const auto& entry : inFlight_)
            all.push_back(entry.first);
        return all;
    }

    void readAnswer(QNetworkReply* reply)
    {
        const auto found = inFlight_.find(reply);
        if (found == inFlight_.end())
            return;
        QByteArray& start = found->second.answerStart;
        start += reply->read(maximumAnswerBytesRead - start.size());
        // The rest is never read: abort() finishes the reply, with its status kept.
        if (start.size() >= maximumAnswerBytesRead)
            reply->abort();
    }

    void finish(QNetworkReply* reply)
    {
        readAnswer(reply);
        const auto found = inFlight_.find(reply);
        if (found == inFlight_.end())
            return;
        InFlight finished = std::move(found->second);
        inFlight_.erase(found);
        reply->deleteLater();
        finished.completion(outcomeOf(*reply, std::move(finished.answerStart)));
        reportIfAllFinished();
    }

    void reportIfAllFinished()
    {
        if (allFinished_ && inFlight_.empty())
            std::exchange(allFinished_, {})();
    }

    QNetworkAccessManager* network_ = nullptr;
    std::map<QNetworkReply*, InFlight> inFlight_;
    std::function<void()> allFinished_;
};

QByteArray telemetryUserAgent()
{
    return (QCoreApplication::applicationName() + QLatin1Char('/') + QString::fromStdString(DeviceFacts::current().appVersion))
        .toUtf8();
}

BatchSender::BatchSender(std::chrono::milliseconds answerWaitAtStop) : answerWaitAtStop_(answerWaitAtStop), worker_(new Worker)
{
    thread_.setObjectName(QStringLiteral("TelemetrySender"));
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start(QThread::LowPriority);
}

BatchSender::~BatchSender()
{
    stop();
}

void BatchSender::post(const QUrl& url, const QByteArray& body, Completion completion)
{
    std::unique_lock lock(mutex_);
    if (stopped_) {
        lock.unlock();
        completion({std::nullopt, QStringLiteral("Not sent: sending has stopped"), {}});
        return;
    }
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, url, body, completion = std::move(completion)] { worker->post(url, body, completion); },
        Qt::QueuedConnection);
}

void BatchSender::stop()
{
    std::lock_guard lock(mutex_);
    if (stopped_)
        return;
    stopped_ = true;
    // Posts queued before this call are made first, then ended with the rest.
    std::promise<void> finished;
    QMetaObject::invokeMethod(
        worker_,
        [worker = worker_, wait = answerWaitAtStop_, &finished] { worker->finishAll(wait, [&finished] { finished.set_value(); }); },
        Qt::QueuedConnection);
    finished.get_future().wait();
    thread_.quit();
    thread_.wait();
}

} // namespace vantory
