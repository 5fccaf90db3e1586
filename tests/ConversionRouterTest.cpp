#include "Converters/ConversionRouter.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Platform/PlatformError.h"
#include "support/EventLoop.h"
#include "support/Gate.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

// Counts how many calls of a fake operation overlap.
struct OverlapProbe {
    std::atomic<int> running = 0;
    std::atomic<int> peak = 0;

    void enter()
    {
        const int now = ++running;
        int seen = peak;
        while (now > seen && !peak.compare_exchange_weak(seen, now)) { }
    }
    void leave() { --running; }
};

// An operation that is counted as running while it waits at `gate`; files named "bad..." fail.
FileOperation heldOperation(Lane lane, OverlapProbe& probe, test::Gate& gate)
{
    return {lane, [&probe, &gate](const FileJob& job) {
                probe.enter();
                gate.wait();
                probe.leave();
                if (job.url.filename().string().starts_with("bad"))
                    throw ConversionError::exportFailed(job.url, "fake failure of " + job.url.filename().string());
            }};
}

// Returns once the job is asked to stop (or after ten seconds, so that a fault fails rather than hangs).
void waitForTheStop(const std::stop_token& stop)
{
    std::mutex mutex;
    std::condition_variable_any stopped;
    std::unique_lock lock(mutex);
    stopped.wait_for(lock, stop, 10s, [] { return false; });
}

struct BatchRun {
    std::vector<std::pair<int, int>> progress;
    std::optional<BatchResult> result;
    std::shared_ptr<Cancellable> handle;
};

std::vector<std::filesystem::path> files(std::initializer_list<const char*> names)
{
    std::vector<std::filesystem::path> result;
    for (const char* name : names)
        result.push_back(std::filesystem::path("/in") / name);
    return result;
}

class RouterTest : public ::testing::Test {
protected:
    QObject context;

    // Runs the batch to its end, calling `whileWaiting` over and over meanwhile; the result is
    // missing when the batch did not end in time.
    BatchRun run(ConversionRouter& router, BatchRequest request, std::function<void(BatchRun&)> onProgress = {},
                 std::function<void()> whileWaiting = {})
    {
        BatchRun state;
        state.handle = router.convertBatch(
            std::move(request), &context,
            [&state, onProgress](int done, int total) {
                state.progress.emplace_back(done, total);
                if (onProgress)
                    onProgress(state);
            },
            [&state](BatchResult result) { state.result = result; });
        EXPECT_TRUE(test::spinUntil([&] {
            if (whileWaiting)
                whileWaiting();
            return state.result.has_value();
        }));
        return state;
    }
};

} // namespace

TEST_F(RouterTest, EmptyListMakesNoProgressCall)
{
    ConversionRouter router(DispatchTable{});
    const auto state = run(router, {{}, "format_json", {}, {}, "/out"});
    ASSERT_TRUE(state.result);
    EXPECT_TRUE(state.progress.empty());
    EXPECT_EQ(*state.result, (BatchResult{0, 0, std::nullopt}));
    EXPECT_FALSE(state.result->isFullFailure());
    EXPECT_FALSE(state.result->isPartialSuccess());
}

TEST_F(RouterTest, SerialOperationsNeverOverlapAndCountFailures)
{
    // The first file is held until it is seen running: a second one started beside it would overlap.
    OverlapProbe probe;
    test::Gate firstRunning;
    DispatchTable table;
    table.fileOperations["format_json"] = heldOperation(Lane::serial, probe, firstRunning);
    ConversionRouter router(table);

    const auto state = run(router, {files({"a.json", "b.json", "bad1.json", "c.json", "d.json"}), "format_json", {}, {}, "/out"},
                           {}, [&] {
                               if (firstRunning.arrivals() >= 1)
                                   firstRunning.open();
                           });
    ASSERT_TRUE(state.result);
    EXPECT_EQ(probe.peak, 1);
    EXPECT_EQ(*state.result, (BatchResult{4, 1, "Could not save the converted file"}));
    EXPECT_EQ(state.result->summaryText(), "4 Processed, 1 Skipped (Could not save the converted file)");
    const std::vector<std::pair<int, int>> expected = {{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}};
    EXPECT_EQ(state.progress, expected);
}

TEST_F(RouterTest, PooledOperationsOverlapAtMostFour)
{
    // The files are held until four run at once: a fifth started beside them would be counted.
    OverlapProbe probe;
    test::Gate fourRunning;
    DispatchTable table;
    table.fileOperations["convert_video"] = heldOperation(Lane::pooled, probe, fourRunning);
    ConversionRouter router(table);

    const auto state = run(
        router, {files({"1.mov", "2.mov", "3.mov", "4.mov", "5.mov", "6.mov", "7.mov"}), "convert_video", "mp4", {}, "/out"}, {},
        [&] {
            if (fourRunning.arrivals() >= 4)
                fourRunning.open();
        });
    ASSERT_TRUE(state.result);
    EXPECT_EQ(probe.peak, 4);
    EXPECT_EQ(state.result->successes, 7);
    EXPECT_EQ(state.progress.back(), std::make_pair(7, 7));
}

TEST_F(RouterTest, SerialWorkStaysSerialWhileMediaRuns)
{
    // A data batch while four media files run: it gets through, and its calls never overlap each other.
    OverlapProbe media, data;
    test::Gate mediaHeld, firstDataRunning;
    DispatchTable table;
    table.fileOperations["convert_audio"] = heldOperation(Lane::pooled, media, mediaHeld);
    table.fileOperations["format_json"] = heldOperation(Lane::serial, data, firstDataRunning);
    ConversionRouter router(table);

    BatchRun first, second;
    first.handle = router.convertBatch({files({"1.wav", "2.wav", "3.wav", "4.wav"}), "convert_audio", "mp3", {}, "/out"},
                                       &context, {}, [&](BatchResult r) { first.result = r; });
    ASSERT_TRUE(test::spinUntil([&] { return mediaHeld.arrivals() == 4; }));
    second.handle = router.convertBatch({files({"a.json", "b.json", "c.json", "d.json"}), "format_json", {}, {}, "/out"},
                                        &context, {}, [&](BatchResult r) { second.result = r; });
    ASSERT_TRUE(test::spinUntil([&] {
        if (firstDataRunning.arrivals() >= 1)
            firstDataRunning.open();
        return second.result.has_value();
    }));
    EXPECT_EQ(media.running, 4) << "the data batch ended while the media files still ran";
    mediaHeld.open();
    ASSERT_TRUE(test::spinUntil([&] { return first.result.has_value(); }));
    EXPECT_EQ(data.peak, 1);
    EXPECT_EQ(media.peak, 4);
    EXPECT_EQ(*second.result, (BatchResult{4, 0, std::nullopt}));
}

TEST_F(RouterTest, FirstFailureMessageIsKept)
{
    DispatchTable table;
    table.fileOperations["format_json"] = {Lane::serial, [](const FileJob& job) {
                                               if (job.url.filename() == "x.json")
                                                   throw ConversionError::invalidDataStructure("first");
                                               throw PlatformError("second message");
                                           }};
    ConversionRouter router(table);
    const auto state = run(router, {files({"x.json", "y.json"}), "format_json", {}, {}, "/out"});
    ASSERT_TRUE(state.result);
    EXPECT_EQ(*state.result, (BatchResult{0, 2, "The file structure is not compatible with this conversion"}));
    EXPECT_TRUE(state.result->isFullFailure());
}

TEST_F(RouterTest, WholeBatchActionIsOneCall)
{
    std::vector<std::vector<std::filesystem::path>> calls;
    DispatchTable table;
    table.wholeBatchOperations["merge_pdf"] = [&](const WholeBatchJob& job) { calls.push_back(job.urls); };
    table.wholeBatchOperations["compress_zip_pw"] = [](const WholeBatchJob& job) {
        if (job.password != "pw")
            throw ConversionError::encryptionFailed();
        throw ConversionError::exportFailed("/out/archive.zip", "ZIP compression failed");
    };
    ConversionRouter router(table);

    const auto merged = run(router, {files({"a.png", "b.png", "c.png"}), "merge_pdf", {}, {}, "/out"});
    ASSERT_TRUE(merged.result);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], files({"a.png", "b.png", "c.png"}));
    EXPECT_EQ(*merged.result, (BatchResult{1, 0, std::nullopt}));
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {1, 1}};
    EXPECT_EQ(merged.progress, expected);

    const auto failed = run(router, {files({"a", "b"}), "compress_zip_pw", {}, "pw", "/out"});
    ASSERT_TRUE(failed.result);
    EXPECT_EQ(*failed.result, (BatchResult{0, 1, "Could not save the converted file"}));
    EXPECT_TRUE(failed.result->isFullFailure());
}

TEST_F(RouterTest, UnknownActionAndMissingTargetFormatAreFailures)
{
    ConversionRouter router; // the standard table
    const auto unknown = run(router, {files({"a.png"}), "no_such_action", {}, {}, "/out"});
    ASSERT_TRUE(unknown.result);
    EXPECT_EQ(*unknown.result, (BatchResult{0, 1, "This format is not supported"}));

    const auto noTarget = run(router, {files({"a.json"}), "convert_image", std::nullopt, {}, "/out"});
    ASSERT_TRUE(noTarget.result);
    EXPECT_TRUE(noTarget.result->isFullFailure());
}

TEST_F(RouterTest, CancelStopsStartingFiles)
{
    test::Gate running;
    DispatchTable table;
    table.fileOperations["convert_audio"] = {Lane::pooled, [&](const FileJob&) { running.wait(); }};
    ConversionRouter router(table);
    std::vector<std::filesystem::path> many;
    for (int i = 0; i < 12; ++i)
        many.push_back("/in/" + std::to_string(i) + ".wav");

    std::optional<BatchResult> result;
    auto handle = router.convertBatch({many, "convert_audio", "mp3", {}, "/out"}, &context, {},
                                      [&](BatchResult r) { result = r; });
    // Cancelled while the first four files run: they finish, nothing after them starts.
    ASSERT_TRUE(test::spinUntil([&] { return running.arrivals() == 4; }));
    handle->cancel();
    running.open();
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }));
    EXPECT_EQ(running.arrivals(), 4);
    EXPECT_LT(result->successes + result->failures, 12);
    EXPECT_EQ(result->failures, 0); // "Cancelled" children are never counted
}

TEST_F(RouterTest, CancelledWholeBatchNeverRuns)
{
    std::atomic<bool> mergeRan = false;
    test::Gate slowFile;
    DispatchTable table;
    table.fileOperations["format_json"] = {Lane::serial, [&](const FileJob&) { slowFile.wait(); }};
    table.wholeBatchOperations["merge_pdfs"] = [&](const WholeBatchJob&) { mergeRan = true; };
    ConversionRouter router(table);

    std::optional<BatchResult> slow, merged;
    auto first = router.convertBatch({files({"a.json"}), "format_json", {}, {}, "/out"}, &context, {},
                                     [&](BatchResult r) { slow = r; });
    ASSERT_TRUE(test::spinUntil([&] { return slowFile.arrivals() == 1; })); // the serial worker is busy with it
    auto second = router.convertBatch({files({"a.pdf", "b.pdf"}), "merge_pdfs", {}, {}, "/out"}, &context, {},
                                      [&](BatchResult r) { merged = r; });
    second->cancel();
    slowFile.open();
    ASSERT_TRUE(test::spinUntil([&] { return slow && merged; }));
    EXPECT_FALSE(mergeRan);
    EXPECT_EQ(*merged, (BatchResult{0, 0, std::nullopt, true}));
}

TEST_F(RouterTest, RunningOperationSeesTheCancellation)
{
    std::atomic<bool> running = false;
    std::atomic<bool> sawTheCancellation = false;
    DispatchTable table;
    table.fileOperations["convert_video"] = {Lane::pooled, [&](const FileJob& job) {
                                                 running = true;
                                                 waitForTheStop(job.stop);
                                                 sawTheCancellation = job.stop.stop_requested();
                                             }};
    ConversionRouter router(table);
    std::optional<BatchResult> result;
    auto handle = router.convertBatch({files({"a.mov"}), "convert_video", "mp4", {}, "/out"}, &context, {},
                                      [&](BatchResult r) { result = r; });
    ASSERT_TRUE(test::spinUntil([&] { return running.load(); }));
    handle->cancel();
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(sawTheCancellation);
    EXPECT_TRUE(result->cancelled);
}

TEST_F(RouterTest, CleanupAfterCancelWaitsForTheRunningOperation)
{
    std::atomic<bool> operationStarted = false;
    std::atomic<bool> operationReturned = false;
    std::atomic<bool> cleanupSawTheOperationRunning = false;
    test::Gate operationHeld;
    DispatchTable table;
    table.fileOperations["format_json"] = {Lane::serial, [&](const FileJob&) {
                                               operationStarted = true;
                                               operationHeld.wait();
                                               operationReturned = true;
                                           }};
    ConversionRouter router(table);
    std::optional<BatchResult> result;
    std::atomic<bool> cleanedUp = false;
    auto batch = router.convertBatch({files({"a.json", "b.json"}), "format_json", {}, {}, "/out"}, &context, {},
                                     [&](BatchResult r) { result = r; });
    ASSERT_TRUE(test::spinUntil([&] { return operationStarted.load(); })); // the first file is running
    batch->cancelThen([&] {
        cleanupSawTheOperationRunning = !operationReturned;
        cleanedUp = true;
    });
    operationHeld.open();
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(cleanedUp);
    EXPECT_FALSE(cleanupSawTheOperationRunning);
    EXPECT_TRUE(result->cancelled);

    // Once the batch has ended, a cleanup still runs, off this thread.
    std::atomic<bool> lateCleanup = false;
    batch->cancelThen([&] { lateCleanup = true; });
    EXPECT_TRUE(test::spinUntil([&] { return lateCleanup.load(); }));
}

TEST_F(RouterTest, AnOperationStoppedByTheCancellationIsNoFailure)
{
    std::atomic<int> started = 0;
    DispatchTable table;
    table.fileOperations["format_json"] = {Lane::serial, [&](const FileJob& job) {
                                               ++started;
                                               waitForTheStop(job.stop);
                                               throwIfStopped(job.stop);
                                           }};
    table.wholeBatchOperations["merge_pdfs"] = [&](const WholeBatchJob& job) {
        ++started;
        waitForTheStop(job.stop);
        throwIfStopped(job.stop);
    };
    ConversionRouter router(table);
    for (const char* action : {"format_json", "merge_pdfs"}) {
        SCOPED_TRACE(action);
        started = 0;
        std::optional<BatchResult> result;
        testing::internal::CaptureStdout();
        auto batch = router.convertBatch({files({"a", "b"}), action, {}, {}, "/out"}, &context, {},
                                         [&](BatchResult r) { result = r; });
        const bool running = test::spinUntil([&] { return started > 0; }); // stopped while it runs, not before
        batch->cancel();
        const bool ended = test::spinUntil([&] { return result.has_value(); });
        const std::string diagnostics = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(running);
        ASSERT_TRUE(ended);
        EXPECT_EQ(*result, (BatchResult{0, 0, std::nullopt, true}));
        EXPECT_EQ(diagnostics, ""); // no failure line
    }
}

TEST_F(RouterTest, ForeignExceptionsReachTheUserAsASentence)
{
    struct Case {
        const char* file;
        std::function<void()> fail;
        const char* message;
    };
    const std::vector<Case> cases = {
        // The sentence of the library-error boundary: one for the whole app.
        {"memory.mov", [] { throw std::bad_alloc(); }, "There isn\u2019t enough memory to process \u201Cmemory.mov\u201D."},
        {"library", [] { throw std::length_error("basic_string::_M_create"); }, "Conversion failed"},
        {"anything", [] { throw 42; }, "Conversion failed"},
        {"platform", [] { throw PlatformError("The disk is full."); }, "The disk is full."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DispatchTable table;
        table.fileOperations["format_json"] = {Lane::serial, [&](const FileJob&) { c.fail(); }};
        ConversionRouter router(table);
        const auto state = run(router, {files({c.file}), "format_json", {}, {}, "/out"});
        ASSERT_TRUE(state.result);
        EXPECT_EQ(*state.result, (BatchResult{0, 1, c.message}));
    }
}

TEST_F(RouterTest, ConvertingWithoutATargetFormatFailsBeforeTheRowRuns)
{
    for (const char* action : {"convert_image", "convert_audio", "convert_video"}) {
        SCOPED_TRACE(action);
        std::atomic<int> calls = 0;
        DispatchTable table;
        table.fileOperations[action] = {Lane::pooled, [&](const FileJob&) { ++calls; }};
        ConversionRouter router(table);
        const auto missing = run(router, {files({"a", "b"}), action, std::nullopt, {}, "/out"});
        ASSERT_TRUE(missing.result);
        EXPECT_EQ(*missing.result, (BatchResult{0, 2, "This format is not supported"}));
        EXPECT_EQ(calls.load(), 0);
        const auto given = run(router, {files({"a"}), action, "png", {}, "/out"});
        ASSERT_TRUE(given.result);
        EXPECT_EQ(*given.result, (BatchResult{1, 0, std::nullopt}));
    }
}
