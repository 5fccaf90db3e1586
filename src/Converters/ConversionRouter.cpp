#include "Converters/ConversionRouter.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/LibraryErrors.h"
#include "Models/ActionIds.h"
#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
#include <condition_variable>
#include <deque>
#include <future>
#include <iostream>
#include <new>

namespace vantory {

namespace {

struct Outcome {
    bool success = false;
    std::optional<std::string> message;
};

// An operation of a cancelled batch that stopped or never started: the batch's result
// counts it neither way.
const Outcome cancelled{false, std::nullopt};

// What the user reads for a failure that is neither a ConversionError nor a PlatformError
// nor a lack of memory: never the library's own text.
const char* const conversionFailed = "Conversion failed";

// One whole line at a time: files failing on several threads never mix their lines.
void printDiagnostic(const std::string& line)
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::cout << line << std::endl;
}

// Runs `work` on `file`, turning whatever it throws into a failure with the user's message
// and printing the diagnostic line that goes with it; a cancellation is no failure.
Outcome capture(const std::function<void()>& work, const std::filesystem::path& file, const std::string& diagnosticPrefix)
{
    try {
        work();
        return {true, std::nullopt};
    } catch (const ConversionCancelled&) {
        return cancelled;
    } catch (const ConversionError& error) {
        printDiagnostic(diagnosticPrefix + error.debugDescription());
        return {false, error.errorDescription()};
    } catch (const PlatformError& error) {
        printDiagnostic(diagnosticPrefix + error.what());
        return {false, std::string(error.what())};
    } catch (const std::bad_alloc& error) {
        printDiagnostic(diagnosticPrefix + error.what());
        return {false, notEnoughMemory(file)};
    } catch (const std::exception& error) {
        printDiagnostic(diagnosticPrefix + error.what());
        return {false, std::string(conversionFailed)};
    } catch (...) {
        printDiagnostic(diagnosticPrefix + "unknown error");
        return {false, std::string(conversionFailed)};
    }
}

} // namespace

class ConversionRouter::Batch final : public Cancellable {
public:
    Batch(QObject* context, ProgressCallback onProgress, FinishedCallback onFinished)
        : context_(context),
          onProgress_(std::move(onProgress)),
          onFinished_(std::move(onFinished))
    {
    }

    void cancel() override { stop_.request_stop(); }

    void cancelThen(std::function<void()> cleanup) override
    {
        cancel();
        {
            std::lock_guard lock(endMutex_);
            if (!ended_) {
                cleanups_.push_back(std::move(cleanup));
                return;
            }
        }
        std::thread(std::move(cleanup)).detach(); // nothing of the batch runs any more
    }

    // Called by the coordinator once every operation has returned.
    void end(BatchResult result)
    {
        result.cancelled = isCancelled();
        std::vector<std::function<void()>> cleanups;
        {
            std::lock_guard lock(endMutex_);
            ended_ = true;
            cleanups.swap(cleanups_);
        }
        for (auto& cleanup : cleanups)
            cleanup();
        reportFinished(std::move(result));
        finished = true;
    }
    bool isCancelled() const { return stop_.stop_requested(); }
    std::stop_token stopToken() const { return stop_.get_token(); }

    // Waits until the callback has run on the caller's thread, so a cancel made from
    // inside it is seen before the next file starts.
    void reportProgress(int done, int total)
    {
        auto delivered = std::make_shared<QSemaphore>();
        deliver([callback = onProgress_, done, total, delivered] {
            if (callback)
                callback(done, total);
            delivered->release();
        });
        while (!delivered->tryAcquire(1, 20)) {
            if (isCancelled() || context_.isNull())
                return;
        }
    }

    void reportFinished(BatchResult result)
    {
        deliver([callback = onFinished_, result] {
            if (callback)
                callback(result);
        });
    }

    std::atomic<bool> finished = false;

private:
    void deliver(std::function<void()> call)
    {
        if (QObject* context = context_.data())
            QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
    }

    std::stop_source stop_;
    std::mutex endMutex_;
    bool ended_ = false;
    std::vector<std::function<void()>> cleanups_;
    QPointer<QObject> context_;
    ProgressCallback onProgress_;
    FinishedCallback onFinished_;
};

ConversionRouter::ConversionRouter(DispatchTable table) : table_(std::move(table))
{
    pool_.setMaxThreadCount(maxFilesInFlight);
}

ConversionRouter::~ConversionRouter()
{
    std::lock_guard lock(batchesMutex_);
    for (auto& running : batches_)
        running.batch->cancel();
    batches_.clear(); // joins every coordinator while the executors still run
    pool_.waitForDone();
}

std::shared_ptr<Cancellable> ConversionRouter::convertBatch(BatchRequest request, QObject* context, ProgressCallback onProgress,
                                                            FinishedCallback onFinished)
{
    auto batch = std::make_shared<Batch>(context, std::move(onProgress), std::move(onFinished));
    std::lock_guard lock(batchesMutex_);
    pruneFinishedBatches();
    std::jthread coordinator([this, batch, request = std::move(request)] {
        BatchResult result = table_.isWholeBatch(request.actionId) ? runWholeBatch(request, *batch)
                                                                   : runFileByFile(request, *batch);
        batch->end(std::move(result));
    });
    batches_.push_back({batch, std::move(coordinator)});
    return batch;
}

void ConversionRouter::pruneFinishedBatches()
{
    // A finished coordinator joins at once.
    batches_.remove_if([](const RunningBatch& running) { return running.batch->finished.load(); });
}

void ConversionRouter::runAction(const std::string& actionId, const FileJob& job) const
{
    if (ActionIds::choosesTargetFormat(actionId) && !job.targetFormat) // nothing to make without one
        throw ConversionError::unsupportedFormat("no target format for the action \"" + actionId + "\"");
    const auto row = table_.fileOperations.find(actionId);
    if (row == table_.fileOperations.end())
        throw ConversionError::unsupportedFormat("no processor for the action \"" + actionId + "\"");
    refuseIfNotAFile(job.url, ActionIds::takesFolders(actionId));
    row->second.run(job);
}

BatchResult ConversionRouter::runWholeBatch(const BatchRequest& request, Batch& batch)
{
    batch.reportProgress(0, 1);
    std::promise<Outcome> done;
    serial_.submit([&] {
        if (batch.isCancelled()) {
            done.set_value(cancelled);
            return;
        }
        const WholeBatchJob job{request.urls, request.password.value_or(""), request.outputFolder, batch.stopToken()};
        const std::filesystem::path first = request.urls.empty() ? std::filesystem::path() : request.urls.front();
        done.set_value(capture(
            [&] {
                for (const auto& url : job.urls)
                    refuseIfNotAFile(url, ActionIds::takesFolders(request.actionId));
                table_.wholeBatchOperations.at(request.actionId)(job);
            },
            first, "ConversionRouter batch: "));
    });
    const Outcome outcome = done.get_future().get();
    if (!outcome.success && batch.isCancelled()) // stopped by the cancellation: no failure
        return {};
    batch.reportProgress(1, 1);
    return outcome.success ? BatchResult{1, 0, std::nullopt} : BatchResult{0, 1, outcome.message};
}

BatchResult ConversionRouter::runFileByFile(const BatchRequest& request, Batch& batch)
{
    std::mutex mutex;
    std::condition_variable finishedOne;
    std::deque<Outcome> outcomes;
    int inFlight = 0;
    std::size_t next = 0;
    const int total = static_cast<int>(request.urls.size());

    auto startChild = [&](const std::filesystem::path& url) {
        ++inFlight;
        runOnLane(request.actionId, [&, url] {
            Outcome outcome = cancelled;
            if (!batch.isCancelled()) {
                const FileJob job{url, request.targetFormat, request.password.value_or(""), request.outputFolder,
                                  batch.stopToken()};
                outcome = capture([&] { runAction(request.actionId, job); }, url,
                                  "ConversionRouter: " + lastPathComponent(url) + " - ");
            }
            std::lock_guard lock(mutex);
            outcomes.push_back(std::move(outcome));
            finishedOne.notify_one();
        });
    };

    std::unique_lock lock(mutex);
    while (next < request.urls.size() && inFlight < maxFilesInFlight && !batch.isCancelled())
        startChild(request.urls[next++]);

    BatchResult result;
    auto drain = [&] { finishedOne.wait(lock, [&] { return static_cast<int>(outcomes.size()) == inFlight; }); };
    while (inFlight > 0) {
        finishedOne.wait(lock, [&] { return !outcomes.empty(); });
        Outcome outcome = std::move(outcomes.front());
        outcomes.pop_front();
        --inFlight;
        if (batch.isCancelled()) { // the outcomes of a cancelled batch's last operations are not counted
            drain();
            return result;
        }
        if (outcome.success) {
            ++result.successes;
        } else {
            ++result.failures;
            if (!result.firstErrorMessage)
                result.firstErrorMessage = outcome.message;
        }
        batch.reportProgress(result.successes + result.failures, total);
        if (next < request.urls.size()) {
            if (batch.isCancelled()) {
                drain();
                return result;
            }
            startChild(request.urls[next++]);
        }
    }
    return result;
}

void ConversionRouter::runOnLane(const std::string& actionId, std::function<void()> work)
{
    const auto row = table_.fileOperations.find(actionId);
    if (row != table_.fileOperations.end() && row->second.lane == Lane::pooled)
        pool_.start(std::move(work));
    else
        serial_.submit(std::move(work));
}

} // namespace vantory
