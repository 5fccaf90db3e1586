#include "Converters/SerialExecutor.h"

namespace vantory {

SerialExecutor::SerialExecutor() : worker_([this](std::stop_token stop) { runLoop(stop); })
{
}

SerialExecutor::~SerialExecutor()
{
    worker_.request_stop();
    wake_.notify_all();
}

void SerialExecutor::submit(std::function<void()> work)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void SerialExecutor::runLoop(std::stop_token stop)
{
    while (true) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !queue_.empty(); }))
                return;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

} // namespace vantory
