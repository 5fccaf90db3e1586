#pragma once

#include "Converters/ConversionService.h"
#include "Converters/DispatchTable.h"
#include "Converters/SerialExecutor.h"

#include <QThreadPool>
#include <list>
#include <mutex>
#include <thread>

namespace vantory {

// Maps an action id to a processor operation and runs a batch: at most four files in
// flight, whole-batch actions in one call, progress and the result on the caller's thread.
class ConversionRouter final : public ConversionService {
public:
    static constexpr int maxFilesInFlight = 4;

    explicit ConversionRouter(DispatchTable table = DispatchTable::standard());
    ~ConversionRouter() override;

    std::shared_ptr<Cancellable> convertBatch(BatchRequest request, QObject* context, ProgressCallback onProgress,
                                              FinishedCallback onFinished) override;

    // Runs one file's operation on the calling thread; throws what the processor throws.
    void runAction(const std::string& actionId, const FileJob& job) const;

private:
    class Batch;

    BatchResult runWholeBatch(const BatchRequest& request, Batch& batch);
    BatchResult runFileByFile(const BatchRequest& request, Batch& batch);
    void runOnLane(const std::string& actionId, std::function<void()> work);
    void pruneFinishedBatches();

    DispatchTable table_;
    SerialExecutor serial_;
    QThreadPool pool_;
    std::mutex batchesMutex_;
    struct RunningBatch {
        std::shared_ptr<Batch> batch;
        std::jthread coordinator;
    };
    std::list<RunningBatch> batches_;
};

} // namespace vantory
