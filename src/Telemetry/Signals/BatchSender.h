#pragma once

#include "Telemetry/Signals/SendOutcome.h"

#include <QByteArray>
#include <QThread>
#include <QUrl>
#include <functional>
#include <mutex>

namespace vantory {

// Posts JSON bodies from a thread of its own with its own event loop, so a slow or dead
// service never holds up the caller. Redirects are not followed: a 3xx is the answer.
class BatchSender {
public:
    using Completion = std::function<void(const SendOutcome&)>;

    BatchSender();
    ~BatchSender();

    BatchSender(const BatchSender&) = delete;
    BatchSender& operator=(const BatchSender&) = delete;

    // Returns at once; `completion` runs on the sender thread.
    void post(const QUrl& url, const QByteArray& body, Completion completion);

    // Cancels the posts in flight (their completions run with a transport error before
    // this returns) and ends the thread. Later posts are dropped.
    void stop();

private:
    class Worker;

    QThread thread_;
    Worker* worker_;
    std::mutex mutex_;
    bool stopped_ = false;
};

} // namespace vantory
