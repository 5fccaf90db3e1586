#include "Converters/Media/SampleTimeline.h"

#include <algorithm>

namespace vantory {

void SampleTimeline::add(std::int64_t start, std::int64_t count)
{
    if (count <= 0)
        return;
    if (start == noTimestamp)
        start = addedUntil_;
    if (!runs_.empty() && runs_.back().start + runs_.back().count == start)
        runs_.back().count += count;
    else
        runs_.push_back({start, count});
    addedUntil_ = start + count;
}

std::int64_t SampleTimeline::take(std::int64_t count)
{
    std::int64_t timestamp = runs_.empty() ? addedUntil_ : runs_.front().start;
    if (takenUntil_ != noTimestamp)
        timestamp = std::max(timestamp, takenUntil_);
    for (std::int64_t left = count; left > 0 && !runs_.empty();) {
        Run& run = runs_.front();
        const std::int64_t taken = std::min(left, run.count);
        run.start += taken;
        run.count -= taken;
        left -= taken;
        if (run.count == 0)
            runs_.pop_front();
    }
    takenUntil_ = timestamp + count;
    return timestamp;
}

} // namespace vantory
