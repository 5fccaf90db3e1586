// The runs of the state manager: a conversion over the active group, the PDF password
// check and the step that shows what is left afterwards.
#include "State/WidgetStateManager.h"

#include "Models/ActionIds.h"
#include "Platform/Background.h"
#include "Platform/FreeSpace.h"
#include "Platform/PathNames.h"
#include "Platform/PdfInspection.h"
#include "State/DonationPolicy.h"
#include "State/OutputFolderManager.h"
#include "State/OutputLocation.h"

#include <atomic>
#include <set>

namespace vantory {

namespace {

constexpr Scheduler::Duration completedTime{1500};
constexpr Scheduler::Duration partialSuccessTime{4000};

} // namespace

// The folder a run writes into, or why there is none; made on a worker.
struct WidgetStateManager::PreparedFolder {
    std::optional<std::filesystem::path> folder;
    std::optional<std::string> error;

    // The free space and the folder are both taken for the group's first file.
    static PreparedFolder make(RunEnvironment& environment, OutputLocation location, const BatchRequest& request, int fileCount)
    {
        const auto& firstInput = request.urls.front();
        const auto base = resolve(location, firstInput, request.urls);
        const auto freeBytes = environment.freeSpace(base);
        if (!freeBytes || *freeBytes < minimumFreeSpace)
            return {std::nullopt, FreeSpace::notEnoughMessage};
        const auto folder = OutputFolderManager::createOutputFolder(base, firstInput, request.actionId, request.targetFormat,
                                                                    fileCount);
        if (!folder)
            return {std::nullopt, "Could not create the output folder"};
        return {folder, std::nullopt};
    }
};

// What a run captured when it started.
struct WidgetStateManager::Run {
    std::uint64_t generation = 0;
    std::vector<std::filesystem::path> inputs;
    std::string actionId;
    std::filesystem::path outputFolder;
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);
};

// The handle kept in conversionTask_: cancelling marks the run and stops the batch.
class WidgetStateManager::RunTask final : public Cancellable {
public:
    explicit RunTask(std::shared_ptr<std::atomic<bool>> cancelled) : cancelled_(std::move(cancelled)) { }
    void attach(std::shared_ptr<Cancellable> batch) { batch_ = std::move(batch); }
    void cancel() override
    {
        *cancelled_ = true;
        if (batch_)
            batch_->cancel();
    }
    void cancelThen(std::function<void()> cleanup) override
    {
        *cancelled_ = true;
        if (batch_)
            batch_->cancelThen(std::move(cleanup));
    }

private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
    std::shared_ptr<Cancellable> batch_;
};

void WidgetStateManager::startConversion(const std::string& actionId, const std::optional<std::string>& targetFormat,
                                         const std::optional<std::string>& password)
{
    if (!payload_)
        return;
    if (actionId == ActionIds::summarize) {
        startSummarize();
        return;
    }
    std::optional<CategoryGroup> group = activeGroup();
    if (!group && !payload_->groups.empty())
        group = payload_->groups.front();
    if (!group || group->urls.empty())
        return;

    Run run;
    run.generation = ++conversionGeneration_;
    run.inputs = group->urls;
    run.actionId = actionId;
    BatchRequest request{group->urls, actionId, targetFormat, password, {}};
    runInBackground(
        this,
        [environment = services_.environment, location = services_.settings->outputLocation(), request, count = group->count()] {
            return PreparedFolder::make(*environment, location, request, count);
        },
        [this, run, request](const PreparedFolder& prepared) { beginRun(run, request, prepared); });
}

void WidgetStateManager::beginRun(Run run, BatchRequest request, const PreparedFolder& prepared)
{
    if (conversionGeneration_ != run.generation) {
        // A cancel, a reset or a newer start came while the folder was being made.
        if (prepared.folder)
            removeRunFolderInBackground(*prepared.folder);
        return;
    }
    if (!prepared.folder) {
        showInlineError(prepared.error.value_or(""));
        return;
    }
    currentOutputFolder_ = run.outputFolder = request.outputFolder = *prepared.folder;
    const int fileCount = static_cast<int>(run.inputs.size());
    setState(WidgetPhase::converting(0, fileCount));

    auto task = std::make_shared<RunTask>(run.cancelled);
    conversionTask_ = task;
    const std::uint64_t generation = run.generation;
    task->attach(services_.router->convertBatch(
        std::move(request), this,
        [this, generation, cancelled = run.cancelled](int done, int total) {
            if (conversionGeneration_ == generation && !*cancelled)
                setState(WidgetPhase::converting(done, total));
        },
        [this, run](BatchResult result) { applyRunResult(run, result); }));
}

void WidgetStateManager::applyRunResult(const Run& run, const BatchResult& result)
{
    if (conversionGeneration_ != run.generation || *run.cancelled)
        return;
    conversionTask_.reset();

    if (result.isFullFailure()) {
        removeRunFolderInBackground(run.outputFolder);
        if (currentOutputFolder_ == run.outputFolder)
            currentOutputFolder_.reset();
        showSingleFileError(run.actionId, result.firstErrorMessage.value_or("Conversion failed"));
        return;
    }
    finishSucceededRun(run, result);
}

void WidgetStateManager::finishSucceededRun(const Run& run, const BatchResult& result)
{
    if (currentOutputFolder_ == run.outputFolder)
        currentOutputFolder_.reset();
    services_.environment->openFolder(run.outputFolder);
    services_.sendSignal("conversion.completed", {{"actionId", run.actionId}, {"fileCount", std::to_string(result.successes)}});
    if (services_.settings->moveOriginalToTrash()) {
        runInBackground([environment = services_.environment, inputs = run.inputs] {
            for (const auto& input : inputs)
                environment->moveToTrash(input);
        });
    }

    const std::string outputPath = run.outputFolder.string();
    if (!result.isPartialSuccess()) {
        setState(WidgetPhase::completed(outputPath));
        const bool wantsDonation = nextCompletedRunWantsDonation();
        after(completedTime, [this, run, wantsDonation] {
            if (conversionGeneration_ != run.generation || !state_.is(WidgetPhase::Kind::completed))
                return;
            if (wantsDonation) {
                // The flag before the phase: the panel goes from the completed card straight
                // to the donation card, with no action card made in between.
                showDonationPromptIfNeeded(run);
                setState(WidgetPhase::actions());
            } else {
                completeAndShowRemaining(run.inputs);
            }
        });
        return;
    }

    const std::string summary = result.summaryText().value_or(std::to_string(result.successes) + " processed, "
                                                              + std::to_string(result.failures) + " skipped");
    setState(WidgetPhase::partialSuccess(outputPath, summary));
    after(partialSuccessTime, [this, run] {
        if (conversionGeneration_ == run.generation && state_.is(WidgetPhase::Kind::partialSuccess))
            completeAndShowRemaining(run.inputs);
    });
}

bool WidgetStateManager::nextCompletedRunWantsDonation()
{
    const int count = services_.settings->completedRunCount() + 1;
    services_.settings->setCompletedRunCount(count);
    return DonationPolicy::wantsPrompt(count);
}

void WidgetStateManager::showDonationPromptIfNeeded(const Run& run)
{
    donationRunInputs_ = run.inputs;
    setShowDonation(true);
    services_.sendSignal("donation.shown", {});
}

void WidgetStateManager::dismissDonation()
{
    setShowDonation(false);
    completeAndShowRemaining();
}

void WidgetStateManager::completeAndShowRemaining()
{
    if (auto inputs = std::exchange(donationRunInputs_, std::nullopt)) {
        completeAndShowRemaining(*inputs);
        return;
    }
    const auto group = activeGroup();
    if (!payload_ || !group) {
        reset();
        return;
    }
    completeAndShowRemaining(group->urls);
}

void WidgetStateManager::completeAndShowRemaining(const std::vector<std::filesystem::path>& done)
{
    const auto current = currentPaths();
    if (!current) {
        reset();
        return;
    }
    std::set<std::string> finished;
    for (const auto& path : done)
        finished.insert(standardizedPath(path));
    std::vector<std::filesystem::path> left;
    for (const auto& path : *current)
        if (!finished.contains(standardizedPath(path)))
            left.push_back(path);
    if (left.empty()) {
        reset();
        return;
    }
    requestPayload(std::move(left), &WidgetStateManager::showRemainingPayload);
}

void WidgetStateManager::showRemainingPayload()
{
    setActiveTab(std::nullopt);
    setState(WidgetPhase::actions());
}

bool WidgetStateManager::validatePDFPassword(const std::string& password) const
{
    const auto payload = payloadSnapshot();
    if (!payload || payload->urls.empty())
        return false;
    return pdfOpensWithPassword(payload->urls.front(), password);
}

void WidgetStateManager::removeRunFolder(const std::filesystem::path& folder)
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void WidgetStateManager::removeRunFolderInBackground(const std::filesystem::path& folder)
{
    runInBackground([folder] { removeRunFolder(folder); });
}

} // namespace vantory
