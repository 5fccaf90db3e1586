#pragma once

#include "Telemetry/Signals/SendOutcome.h"

#include <QByteArray>
#include <QThread>
#include <QUrl>
#include <chrono>
#include <functional>
#include <mutex>

namespace vantory {

// Posts JSON bodies from a thread of its own with its own event loop, so a slow or dead
// service never holds up the caller. A post is made once: it is never sent again by the
// network layer, redirects are not followed (a 3xx is the answer), no cookies are kept or
// sent, and of the answer's body only the first few kilobytes are read.
class BatchSender {
public:
    using Completion = std::function<void(const SendOutcome&)>;

    // At the longest, how long `stop` waits for the answer to a post whose body went out whole.
    explicit BatchSender(std::chrono::milliseconds answerWaitAtStop);
    ~BatchSender();

    BatchSender(const BatchSender&) = delete;
    BatchSender& operator=(const BatchSender&) = delete;

    // Returns at once; `completion` runs on the sender thread. After `stop` it runs at
    // once with a transport error instead.
    void post(const QUrl& url, const QByteArray& body, Completion completion);

    // Ends every post in flight and the thread; every completion has run when it returns.
    // A post whose body did not go out whole is cancelled at once: the service cannot have
    // taken it. One whose body did gets up to `answerWaitAtStop` for its answer first.
    void stop();

private:
    class Worker;

    const std::chrono::milliseconds answerWaitAtStop_;
    QThread thread_;
    Worker* worker_;
    std::mutex mutex_;
    bool stopped_ = false;
};

// What the sender reads of an answer's body at most.
inline constexpr qint64 maximumAnswerBytesRead = 4096;

// "<application name>/<version>".
QByteArray telemetryUserAgent();

} // namespace vantory
