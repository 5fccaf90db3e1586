#pragma once

#include "Converters/ConversionService.h"
#include "State/RunEnvironment.h"
#include "support/Gate.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vantory::test {

// A router whose batches finish only when the test says so.
class FakeRouter final : public ConversionService {
public:
    struct Call : Cancellable {
        BatchRequest request;
        ProgressCallback onProgress;
        FinishedCallback onFinished;
        bool cancelled = false;
        std::vector<std::function<void()>> cleanups; // run by the test when the batch "ends"
        void cancel() override { cancelled = true; }
        void cancelThen(std::function<void()> cleanup) override
        {
            cancelled = true;
            cleanups.push_back(std::move(cleanup));
        }
        void runCleanups()
        {
            for (auto& cleanup : std::exchange(cleanups, {}))
                cleanup();
        }
    };

    std::shared_ptr<Cancellable> convertBatch(BatchRequest request, QObject*, ProgressCallback onProgress,
                                              FinishedCallback onFinished) override
    {
        auto call = std::make_shared<Call>();
        call->request = std::move(request);
        call->onProgress = std::move(onProgress);
        call->onFinished = std::move(onFinished);
        calls.push_back(call);
        return call;
    }

    Call& last() { return *calls.back(); }
    std::vector<std::shared_ptr<Call>> calls;
};

// freeSpace and moveToTrash may be called on any thread, openFolder on the test's only.
class FakeEnvironment final : public RunEnvironment {
public:
    std::optional<std::uint64_t> free = 10'000'000'000ULL; // set before a run starts
    std::vector<std::filesystem::path> opened;
    Gate* holdFreeSpace = nullptr; // when set, freeSpace waits there
    Gate* holdTrash = nullptr; // when set, each move to the Trash waits there

    std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) override
    {
        if (holdFreeSpace)
            holdFreeSpace->wait();
        record(freeSpaceAsked_, folder);
        return free;
    }
    void openFolder(const std::filesystem::path& folder) override { opened.push_back(folder); }
    bool moveToTrash(const std::filesystem::path& file) override
    {
        if (holdTrash)
            holdTrash->wait();
        record(trashed_, file);
        return true;
    }

    std::vector<std::filesystem::path> freeSpaceAsked() const { return read(freeSpaceAsked_); }
    std::vector<std::filesystem::path> trashed() const { return read(trashed_); }
    void forgetTrashed()
    {
        std::lock_guard lock(mutex_);
        trashed_.clear();
    }
    // Whether freeSpace or moveToTrash ever ran on `thread`.
    bool calledOn(std::thread::id thread) const
    {
        std::lock_guard lock(mutex_);
        return std::find(threads_.begin(), threads_.end(), thread) != threads_.end();
    }

private:
    void record(std::vector<std::filesystem::path>& calls, const std::filesystem::path& path)
    {
        std::lock_guard lock(mutex_);
        calls.push_back(path);
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<std::filesystem::path> read(const std::vector<std::filesystem::path>& calls) const
    {
        std::lock_guard lock(mutex_);
        return calls;
    }

    mutable std::mutex mutex_;
    std::vector<std::filesystem::path> freeSpaceAsked_;
    std::vector<std::filesystem::path> trashed_;
    std::vector<std::thread::id> threads_;
};

struct SentSignal {
    std::string name;
    std::map<std::string, std::string> parameters;
    bool operator==(const SentSignal&) const = default;
};

} // namespace vantory::test
