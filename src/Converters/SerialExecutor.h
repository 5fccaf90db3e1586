#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vantory {

// One worker thread that runs submitted work in order, one piece at a time.
class SerialExecutor {
public:
    SerialExecutor();
    ~SerialExecutor();
    SerialExecutor(const SerialExecutor&) = delete;
    SerialExecutor& operator=(const SerialExecutor&) = delete;

    void submit(std::function<void()> work);

private:
    void runLoop(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> queue_;
    std::jthread worker_;
};

} // namespace vantory
