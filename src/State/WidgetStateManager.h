#pragma once

#include "Converters/ConversionService.h"
#include "Models/DropPayload.h"
#include "Models/FileAction.h"
#include "Platform/LanguageModel.h"
#include "Platform/Scheduler.h"
#include "State/AppSettings.h"
#include "State/RunEnvironment.h"
#include "State/WidgetPhase.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace vantory {

struct SummaryInput;

// What the state manager talks to, every one of them given: the application passes the
// desktop's, tests their fakes.
struct WidgetStateServices {
    using SignalSender = std::function<void(const std::string& name, const std::map<std::string, std::string>& parameters)>;
    using PayloadBuilder = std::function<DropPayload(const std::vector<std::filesystem::path>& paths)>;

    std::shared_ptr<ConversionService> router;
    Scheduler* scheduler = nullptr;
    AppSettings* settings = nullptr;
    RunEnvironment* environment = nullptr; // freeSpace and moveToTrash run on workers
    SignalSender sendSignal;
    PayloadBuilder buildPayload; // runs on a worker, so it may be slow
    std::shared_ptr<LanguageModel> languageModel;
};

// The observable state behind every card of the panel. Used on the main thread only,
// except payloadSnapshot() and validatePDFPassword(), which any thread may call.
// Whatever may be slow (building a payload with its file probes, making or removing a
// run's folder, the Trash) runs on workers; this thread only applies their results.
class WidgetStateManager final : public QObject {
    Q_OBJECT

public:
    using Services = WidgetStateServices;

    static constexpr std::uint64_t minimumFreeSpace = 500'000'000;

    // Throws std::invalid_argument when a service is missing.
    explicit WidgetStateManager(Services services, QObject* parent = nullptr);
    ~WidgetStateManager() override;

    // Published state.
    const WidgetPhase& state() const { return state_; }
    AnchorEdge anchorEdge() const { return anchorEdge_; }
    // None while a new drop is being built (in the processing phase).
    const std::optional<DropPayload>& payload() const { return payload_; }
    // Raised whenever the payload changes or a new one starts being built: an answer
    // worked out for an older serial is late.
    std::uint64_t payloadSerial() const { return payloadSerial_; }
    std::optional<FileCategory> activeTab() const { return activeTab_; }
    const std::optional<std::string>& inlineError() const { return inlineError_; }
    const std::string& streamingText() const { return streamingText_; }
    const std::optional<std::string>& summaryNote() const { return summaryNote_; }
    bool isAppendDragOver() const { return isAppendDragOver_; }
    const std::optional<std::string>& actionAreaNotice() const { return actionAreaNotice_; }
    const std::optional<std::string>& singleFileError() const { return singleFileError_; }
    const std::optional<std::string>& singleFileErrorActionId() const { return singleFileErrorActionId_; }
    bool showDonation() const { return showDonation_; }

    // The few properties the views write directly.
    void setState(WidgetPhase state);
    void setAnchorEdge(AnchorEdge edge);
    void setActiveTab(std::optional<FileCategory> tab);
    void setInlineError(std::optional<std::string> message);
    void setIsAppendDragOver(bool over);
    void setShowDonation(bool show);

    // Derived.
    std::optional<CategoryGroup> activeGroup() const;
    bool showTabs() const;
    // Reads only what the payload's probes found; never touches a file.
    std::vector<FileAction> suggestedActions() const;

    // A copy of the current payload, safe to take and keep on any thread.
    std::optional<DropPayload> payloadSnapshot() const;

    // Operations.
    void handleDrop(const std::vector<std::filesystem::path>& urls);
    void appendFiles(const std::vector<std::filesystem::path>& urls);
    void reset();
    void cancelConversion();
    void showInlineError(const std::string& message);
    void startConversion(const std::string& actionId, const std::optional<std::string>& targetFormat = std::nullopt,
                         const std::optional<std::string>& password = std::nullopt);
    // Whether the password opens the payload's PDF; any thread.
    bool validatePDFPassword(const std::string& password) const;
    void completeAndShowRemaining();
    // The donation card is closed: it goes, and what the run left is shown.
    void dismissDonation();

Q_SIGNALS:
    void stateChanged();
    void anchorEdgeChanged();
    void payloadChanged();
    void activeTabChanged();
    void inlineErrorChanged();
    void streamingTextChanged();
    void summaryNoteChanged();
    void isAppendDragOverChanged();
    void actionAreaNoticeChanged();
    // singleFileError and singleFileErrorActionId, which change together.
    void singleFileErrorChanged();
    void showDonationChanged();

private:
    struct Run;
    struct PreparedFolder;
    class RunTask;
    class SummaryTask;
    using PayloadLanding = void (WidgetStateManager::*)();

    void setPayload(std::optional<DropPayload> payload);
    std::optional<std::vector<std::filesystem::path>> currentPaths() const;
    // Builds the payload of `paths` on a worker; when it is still the latest one asked
    // for, it becomes the payload and `landed` runs.
    void requestPayload(std::vector<std::filesystem::path> paths, PayloadLanding landed);
    void showBuiltPayload();
    void showRemainingPayload();
    void showActionsOnceReady();
    void setStreamingText(std::string text);
    void setSummaryNote(std::optional<std::string> note);
    void setActionAreaNotice(std::optional<std::string> notice);
    void showActionAreaNotice(const std::string& notice);
    void resetSoonIfOnlyUnsupported();
    void showSingleFileError(const std::string& actionId, const std::string& message);
    void clearSingleFileError();
    void setSingleFileError(std::optional<std::string> actionId, std::optional<std::string> message);
    void forgetFeedbackOfTheLastDrop();
    void after(Scheduler::Duration delay, std::function<void()> step);

    void startSummarize();
    void summarize(const std::shared_ptr<SummaryTask>& task, const SummaryInput& input);
    // Whether a summary may still write state: it is the latest and its card is shown.
    bool isCurrentSummary(const std::shared_ptr<SummaryTask>& task) const;
    void showSummarySnapshot(const std::shared_ptr<SummaryTask>& task, const std::string& snapshot);
    void finishSummary(const std::shared_ptr<SummaryTask>& task, const std::optional<std::string>& error);
    void stopSummary();
    void beginRun(Run run, BatchRequest request, const PreparedFolder& prepared);
    void applyRunResult(const Run& run, const BatchResult& result);
    void finishSucceededRun(const Run& run, const BatchResult& result);
    void showDonationPromptIfNeeded(const Run& run);
    bool nextCompletedRunWantsDonation();
    void completeAndShowRemaining(const std::vector<std::filesystem::path>& done);
    // Stops the run in progress, if any, and removes its folder once its work has ended.
    void stopCurrentRun();
    // Removes a run's output folder with all it holds; slow, so never on this thread.
    static void removeRunFolder(const std::filesystem::path& folder);
    static void removeRunFolderInBackground(const std::filesystem::path& folder);

    Services services_;

    WidgetPhase state_;
    AnchorEdge anchorEdge_ = AnchorEdge::right;
    std::optional<DropPayload> payload_;
    std::optional<FileCategory> activeTab_;
    std::optional<std::string> inlineError_;
    std::string streamingText_;
    std::optional<std::string> summaryNote_;
    bool isAppendDragOver_ = false;
    std::optional<std::string> actionAreaNotice_;
    std::optional<std::string> singleFileError_;
    std::optional<std::string> singleFileErrorActionId_;
    bool showDonation_ = false;

    mutable std::mutex snapshotMutex_; // guards payload_ against readers on other threads
    std::shared_ptr<Cancellable> conversionTask_;
    // The latest summary, also after a later run took conversionTask_: it stops reading
    // before this manager goes.
    std::shared_ptr<SummaryTask> summary_;
    std::optional<std::filesystem::path> currentOutputFolder_;
    std::uint64_t conversionGeneration_ = 0;
    std::uint64_t payloadSerial_ = 0;
    std::optional<std::vector<std::filesystem::path>> pendingPaths_; // of the payload being built
    bool processingTimeOver_ = false; // the processing phase has lasted its minimum
    std::optional<std::vector<std::filesystem::path>> donationRunInputs_;
};

} // namespace vantory
