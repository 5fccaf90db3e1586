#pragma once

#include "Converters/BatchResult.h"

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// What one batch is asked to do.
struct BatchRequest {
    std::vector<std::filesystem::path> urls;
    std::string actionId;
    std::optional<std::string> targetFormat;
    std::optional<std::string> password;
    std::filesystem::path outputFolder;
};

// A piece of asynchronous work that can be told to stop.
class Cancellable {
public:
    virtual ~Cancellable() = default;
    virtual void cancel() = 0;
    // Cancels, then runs `cleanup` on a worker thread once every operation of the work
    // has returned (at once, still off the caller's thread, when it has already ended).
    // What the work wrote can only be removed safely then.
    virtual void cancelThen(std::function<void()> cleanup) = 0;
};

// The conversion engine as the state manager sees it. Both callbacks are delivered
// on the thread of `context`, and never after `context` is destroyed. `onFinished` comes
// for a cancelled batch too (with `cancelled` set), once all of its operations have returned.
class ConversionService {
public:
    using ProgressCallback = std::function<void(int done, int total)>;
    using FinishedCallback = std::function<void(BatchResult)>;

    virtual ~ConversionService() = default;
    virtual std::shared_ptr<Cancellable> convertBatch(BatchRequest request, QObject* context, ProgressCallback onProgress,
                                                      FinishedCallback onFinished) = 0;
};

} // namespace vantory
