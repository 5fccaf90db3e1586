#include "Telemetry/Signals/BatchSender.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace vantory {

namespace {

constexpr int requestTimeoutMs = 60'000;

SendOutcome outcomeOf(QNetworkReply& reply)
{
    SendOutcome outcome;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        outcome.statusCode = status.toInt();
    else if (reply.error() != QNetworkReply::NoError)
        outcome.transportError = reply.errorString();
    if (reply.isOpen())
        outcome.data = reply.readAll();
    return outcome;
}

} // namespace

class BatchSender::Worker final : public QObject {
public:
    void post(const QUrl& url, const QByteArray& body, const Completion& completion)
    {
        if (!network_)
            network_ = new QNetworkAccessManager(this);
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setTransferTimeout(requestTimeoutMs);
        QNetworkReply* reply = network_->post(request, body);
        QObject::connect(reply, &QNetworkReply::finished, this, [reply, completion] {
            reply->deleteLater();
            completion(outcomeOf(*reply));
        });
    }

    void abortAll()
    {
        if (!network_)
            return;
        const auto replies = network_->findChildren<QNetworkReply*>();
        for (QNetworkReply* reply : replies)
            reply->abort();
    }

private:
    QNetworkAccessManager* network_ = nullptr;
};

BatchSender::BatchSender() : worker_(new Worker)
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
    std::lock_guard lock(mutex_);
    if (stopped_)
        return;
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
    // Posts queued before this call are made first, then cancelled with the rest.
    QMetaObject::invokeMethod(
        worker_, [worker = worker_] { worker->abortAll(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

} // namespace vantory
