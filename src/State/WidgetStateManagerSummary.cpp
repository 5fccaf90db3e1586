// The summary run of the state manager: the document's text is read and cut on a worker,
// then the summariser's snapshots are shown while this summary is the one on screen.
#include "State/WidgetStateManager.h"

#include "AI/FoundationModelsSummarizer.h"
#include "Converters/ConversionError.h"
#include "Models/ActionIds.h"
#include "Platform/Background.h"
#include "State/SummaryInput.h"

#include <QString>
#include <algorithm>

namespace vantory {

namespace {

const std::string cutNote = "Summarizing first ~3,500 words";
const std::string incompleteNote = "Summary incomplete";

bool holdsAWord(const std::string& text)
{
    const auto characters = QString::fromStdString(text).toUcs4();
    return std::any_of(characters.begin(), characters.end(), [](char32_t c) { return QChar::isLetterOrNumber(c); });
}

} // namespace

// The handle of one summary, kept in conversionTask_ so that a cancel or a reset stops it.
// Used on the main thread only.
class WidgetStateManager::SummaryTask final : public Cancellable {
public:
    // A stream left reading could post to a manager that is gone.
    ~SummaryTask() override { cancel(); }

    bool isCancelled() const { return cancelled_; }
    void attach(std::shared_ptr<SummaryStream> stream) { stream_ = std::move(stream); }

    // The writing goes on; only what this summary would still show is dropped.
    void cancel() override
    {
        cancelled_ = true;
        if (stream_)
            stream_->stopReading();
    }
    void cancelThen(std::function<void()> cleanup) override
    {
        cancel();
        runInBackground(std::move(cleanup));
    }

private:
    bool cancelled_ = false;
    std::shared_ptr<SummaryStream> stream_;
};

void WidgetStateManager::startSummarize()
{
    if (!payload_ || payload_->urls.empty())
        return;
    stopCurrentRun();
    stopSummary();
    auto task = std::make_shared<SummaryTask>();
    conversionTask_ = summary_ = task;
    setStreamingText("");
    setSummaryNote(std::nullopt);
    setState(WidgetPhase::summarizing());
    runInBackground(
        this, [document = payload_->urls.front()] { return SummaryInput::read(document); },
        [this, task](const SummaryInput& input) { summarize(task, input); });
}

void WidgetStateManager::summarize(const std::shared_ptr<SummaryTask>& task, const SummaryInput& input)
{
    if (!isCurrentSummary(task))
        return;
    if (input.error) {
        finishSummary(task, input.error);
        return;
    }
    setSummaryNote(input.wasCut ? std::optional(cutNote) : std::nullopt);
    const FoundationModelsSummarizer summarizer(services_.languageModel);
    if (!summarizer.isModelAvailable()) {
        finishSummary(task, ConversionError::requiresNewerOS("AI Summarize").errorDescription());
        return;
    }
    // The stream is the task's, so its callbacks hold the task weakly.
    const std::weak_ptr<SummaryTask> weakTask = task;
    task->attach(summarizer.stream(
        input.text, this,
        [this, weakTask](const std::string& snapshot) {
            if (const auto task = weakTask.lock())
                showSummarySnapshot(task, snapshot);
        },
        [this, weakTask](const std::optional<std::string>& error) {
            if (const auto task = weakTask.lock(); task && isCurrentSummary(task))
                finishSummary(task, error);
        }));
}

bool WidgetStateManager::isCurrentSummary(const std::shared_ptr<SummaryTask>& task) const
{
    return conversionTask_ == task && !task->isCancelled() && state_.is(WidgetPhase::Kind::summarizing);
}

void WidgetStateManager::showSummarySnapshot(const std::shared_ptr<SummaryTask>& task, const std::string& snapshot)
{
    if (!isCurrentSummary(task)) {
        task->cancel();
        return;
    }
    setStreamingText(snapshot);
}

void WidgetStateManager::finishSummary(const std::shared_ptr<SummaryTask>& task, const std::optional<std::string>& error)
{
    task->cancel();
    conversionTask_.reset();
    // An answer without a word (a document of symbols only) says nothing either.
    if (!error && !holdsAWord(streamingText_)) {
        showSingleFileError(ActionIds::summarize, SummaryInput::noTextMessage);
        return;
    }
    if (!error)
        return;
    if (streamingText_.empty()) {
        showSingleFileError(ActionIds::summarize, *error);
        return;
    }
    // The text so far stays, but it must not pass for the whole summary.
    setSummaryNote(summaryNote_ ? *summaryNote_ + " · " + incompleteNote : incompleteNote);
}

void WidgetStateManager::stopSummary()
{
    if (const auto task = std::exchange(summary_, nullptr))
        task->cancel();
}

} // namespace vantory
