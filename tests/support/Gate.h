#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vantory::test {

// Holds the workers that reach it until the test opens it. A wait gives up after a
// while, so that a fault shows as a failed expectation rather than a hung test.
class Gate {
public:
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    void wait()
    {
        std::unique_lock lock(mutex_);
        ++arrivals_;
        changed_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
    }

    bool isOpen() const
    {
        std::lock_guard lock(mutex_);
        return open_;
    }

    int arrivals() const
    {
        std::lock_guard lock(mutex_);
        return arrivals_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    int arrivals_ = 0;
};

} // namespace vantory::test
