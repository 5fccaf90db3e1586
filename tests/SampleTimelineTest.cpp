// Where blocks of queued audio samples land in time.
#include "Converters/Media/SampleTimeline.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantory;

namespace {

constexpr std::int64_t none = SampleTimeline::noTimestamp;

struct SampleRun {
    std::int64_t start;
    std::int64_t count;
};

struct Case {
    const char* name;
    std::vector<SampleRun> added;
    std::int64_t blockSize;
    std::vector<std::int64_t> blockStarts;
};

} // namespace

TEST(SampleTimeline, BlocksStartWhereTheirFirstSampleBelongs)
{
    const std::vector<Case> cases = {
        {"a leading offset", {{1000, 2048}}, 1024, {1000, 2024}},
        {"runs that follow each other", {{0, 600}, {600, 600}, {1200, 848}}, 1024, {0, 1024}},
        // The block that spans the gap starts on time; the next one after the gap.
        {"a gap", {{0, 1024}, {1024, 512}, {5000, 1536}}, 1024, {0, 1024, 5512}},
        {"no timestamps", {{none, 1024}, {none, 1024}}, 1024, {0, 1024}},
        {"no timestamp after one", {{300, 100}, {none, 924}}, 1024, {300}},
        // Overlapping source timestamps never make a block start before the previous one ended.
        {"an overlap", {{0, 1024}, {500, 1024}}, 1024, {0, 1024}},
    };
    for (const Case& c : cases) {
        SampleTimeline timeline;
        for (const SampleRun& run : c.added)
            timeline.add(run.start, run.count);
        std::vector<std::int64_t> starts;
        for (std::size_t i = 0; i < c.blockStarts.size(); ++i)
            starts.push_back(timeline.take(c.blockSize));
        EXPECT_EQ(starts, c.blockStarts) << c.name;
    }
}
