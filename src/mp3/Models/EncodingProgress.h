#pragma once

#include <atomic>
#include <cstdint>

namespace vantory::mp3 {

// Progress and cancellation shared between an encoding and the rest of the program; any
// thread may read it or cancel.
class EncodingProgress {
public:
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }

    std::int64_t totalUnitCount() const { return total_; }
    std::int64_t completedUnitCount() const { return completed_; }
    void setTotalUnitCount(std::int64_t total) { total_ = total; }
    void setCompletedUnitCount(std::int64_t completed) { completed_ = completed; }

private:
    std::atomic<bool> cancelled_ = false;
    std::atomic<std::int64_t> total_ = 0;
    std::atomic<std::int64_t> completed_ = 0;
};

} // namespace vantory::mp3
