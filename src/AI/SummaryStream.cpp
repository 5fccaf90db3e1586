#include "AI/SummaryStream.h"

namespace vantory {

struct SummaryStream::Shared {
    QObject* receiver;
    OnSnapshot onSnapshot;
    OnEnd onEnd;
    std::mutex mutex; // held while posting, so the receiver outlives every post
    bool reading = true;
    bool ended = false;

    bool isReading()
    {
        std::lock_guard lock(mutex);
        return reading;
    }

    // Runs `deliver` on the receiver's thread, if the reader still reads by then.
    template <typename Deliver>
    void post(Deliver deliver)
    {
        std::lock_guard lock(mutex);
        if (!reading)
            return;
        QMetaObject::invokeMethod(
            receiver,
            [self = this, deliver = std::move(deliver)]() mutable {
                if (self->isReading())
                    deliver();
            },
            Qt::QueuedConnection);
    }
};

SummaryStream::SummaryStream(QObject* receiver, OnSnapshot onSnapshot, OnEnd onEnd) : shared_(std::make_shared<Shared>())
{
    shared_->receiver = receiver;
    shared_->onSnapshot = std::move(onSnapshot);
    shared_->onEnd = std::move(onEnd);
}

void SummaryStream::stopReading()
{
    std::lock_guard lock(shared_->mutex);
    shared_->reading = false;
}

ResponseSink SummaryStream::sink()
{
    const auto shared = shared_;
    return {
        [shared](std::string snapshot) {
            shared->post([shared, snapshot = std::move(snapshot)] { shared->onSnapshot(snapshot); });
        },
        [shared](std::optional<std::string> error) {
            shared->post([shared, error = std::move(error)] {
                if (!std::exchange(shared->ended, true))
                    shared->onEnd(error);
            });
        },
    };
}

} // namespace vantory
