// The runs of the state manager: a conversion over the active group, the summary,
// the PDF password check and the step that shows what is left afterwards.
#include "State/WidgetStateManager.h"

#include "Converters/ConversionError.h"
#include "Models/ActionIds.h"
#include "Platform/PathNames.h"
#include "Platform/PdfInspection.h"
#include "State/DonationPolicy.h"
#include "State/OutputFolderManager.h"

#include <atomic>
#include <set>

namespace vantory {

namespace {

constexpr Scheduler::Duration completedTime{1500};
constexpr Scheduler::Duration partialSuccessTime{4000};

} // namespace

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

    // The free space and the folder are both taken for the group's first file.
    const auto& firstInput = group->urls.front();
    const auto base = resolve(services_.settings->outputLocation(), firstInput);
    const auto freeBytes = services_.environment->freeSpace(base);
    if (!freeBytes || *freeBytes < minimumFreeSpace) {
        showInlineError("Not enough disk space");
        return;
    }
    const auto folder = OutputFolderManager::createOutputFolder(base, firstInput, actionId, targetFormat, group->count());
    if (!folder) {
        showInlineError("Could not create the output folder");
        return;
    }
    currentOutputFolder_ = *folder;

    Run run;
    run.generation = ++conversionGeneration_;
    run.inputs = group->urls;
    run.actionId = actionId;
    run.outputFolder = *folder;
    setState(WidgetPhase::converting(0, group->count()));

    auto task = std::make_shared<RunTask>(run.cancelled);
    conversionTask_ = task;
    const std::uint64_t generation = run.generation;
    task->attach(services_.router->convertBatch(
        {run.inputs, actionId, targetFormat, password, run.outputFolder}, this,
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
        std::error_code ignored;
        std::filesystem::remove_all(run.outputFolder, ignored);
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
        for (const auto& input : run.inputs)
            services_.environment->moveToTrash(input);
    }

    const std::string outputPath = run.outputFolder.string();
    if (!result.isPartialSuccess()) {
        setState(WidgetPhase::completed(outputPath));
        const bool wantsDonation = nextCompletedRunWantsDonation();
        after(completedTime, [this, run, wantsDonation] {
            if (conversionGeneration_ != run.generation || !state_.is(WidgetPhase::Kind::completed))
                return;
            if (wantsDonation) {
                setState(WidgetPhase::actions());
                showDonationPromptIfNeeded(run);
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
    if (!payload_) {
        reset();
        return;
    }
    std::set<std::string> finished;
    for (const auto& url : done)
        finished.insert(standardizedPath(url));
    std::vector<std::filesystem::path> left;
    for (const auto& url : payload_->urls)
        if (!finished.contains(standardizedPath(url)))
            left.push_back(url);
    if (left.empty()) {
        reset();
        return;
    }
    setPayload(DropPayload::from(left));
    setActiveTab(std::nullopt);
    setState(WidgetPhase::actions());
}

void WidgetStateManager::startSummarize()
{
    if (!payload_ || payload_->urls.empty())
        return;
    setStreamingText("");
    setState(WidgetPhase::summarizing());
    // The on-device summariser is not part of this build.
    showSingleFileError(ActionIds::summarize, ConversionError::requiresNewerOS("AI Summarize").errorDescription());
}

bool WidgetStateManager::validatePDFPassword(const std::string& password) const
{
    const auto payload = payloadSnapshot();
    if (!payload || payload->urls.empty())
        return false;
    return pdfOpensWithPassword(payload->urls.front(), password);
}

} // namespace vantory
