#pragma once

#include "Converters/ConversionService.h"
#include "State/RunEnvironment.h"

#include <map>
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

class FakeEnvironment final : public RunEnvironment {
public:
    std::optional<std::uint64_t> free = 10'000'000'000ULL;
    std::vector<std::filesystem::path> opened;
    std::vector<std::filesystem::path> trashed;
    std::vector<std::filesystem::path> freeSpaceAsked;

    std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) override
    {
        freeSpaceAsked.push_back(folder);
        return free;
    }
    void openFolder(const std::filesystem::path& folder) override { opened.push_back(folder); }
    bool moveToTrash(const std::filesystem::path& file) override
    {
        trashed.push_back(file);
        return true;
    }
};

struct SentSignal {
    std::string name;
    std::map<std::string, std::string> parameters;
    bool operator==(const SentSignal&) const = default;
};

} // namespace vantory::test
