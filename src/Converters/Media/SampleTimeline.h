#pragma once

#include <cstdint>
#include <deque>

namespace vantory {

// Where queued audio samples belong in time. Samples arrive in runs, each with the
// timestamp of its first sample, and leave in blocks of any size; a block starts at the
// timestamp of its first sample, so a gap or a leading offset in the source stays in the
// output to within one block.
class SampleTimeline {
public:
    static constexpr std::int64_t noTimestamp = INT64_MIN;

    // `count` samples follow, the first at `start`; with noTimestamp they follow on from the
    // samples added before them.
    void add(std::int64_t start, std::int64_t count);
    // Takes the next `count` samples and returns the timestamp of the block: its first
    // sample's, but never earlier than the end of the block taken before (overlapping
    // source timestamps would otherwise run backwards).
    std::int64_t take(std::int64_t count);

private:
    struct Run {
        std::int64_t start;
        std::int64_t count;
    };

    std::deque<Run> runs_;
    std::int64_t addedUntil_ = 0;
    std::int64_t takenUntil_ = noTimestamp;
};

} // namespace vantory
