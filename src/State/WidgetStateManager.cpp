#include "State/WidgetStateManager.h"

#include "Models/ActionIds.h"
#include "Platform/Background.h"
#include "Platform/PathNames.h"
#include "State/ActionResolver.h"

#include <set>
#include <stdexcept>

namespace vantory {

namespace {

constexpr Scheduler::Duration processingTime{600};
constexpr Scheduler::Duration unsupportedResetTime{2000};
constexpr Scheduler::Duration actionAreaNoticeTime{2000};
constexpr Scheduler::Duration inlineErrorTime{6000};
constexpr Scheduler::Duration singleFileErrorTime{3500};

template <typename T, typename Signal>
void assign(WidgetStateManager* manager, T& field, T value, Signal changed)
{
    if (field == value)
        return;
    field = std::move(value);
    Q_EMIT(manager->*changed)();
}

} // namespace

WidgetStateManager::WidgetStateManager(Services services, QObject* parent) : QObject(parent), services_(std::move(services))
{
    const std::pair<bool, const char*> given[] = {
        {services_.router != nullptr, "router"},
        {services_.scheduler != nullptr, "scheduler"},
        {services_.settings != nullptr, "settings"},
        {services_.environment != nullptr, "environment"},
        {static_cast<bool>(services_.sendSignal), "sendSignal"},
        {static_cast<bool>(services_.buildPayload), "buildPayload"},
        {services_.languageModel != nullptr, "languageModel"},
    };
    for (const auto& [present, name] : given)
        if (!present)
            throw std::invalid_argument(std::string("WidgetStateManager needs its ") + name);
}

WidgetStateManager::~WidgetStateManager()
{
    stopCurrentRun();
    stopSummary();
}

// MARK: published properties

void WidgetStateManager::setState(WidgetPhase state)
{
    assign(this, state_, std::move(state), &WidgetStateManager::stateChanged);
}
void WidgetStateManager::setAnchorEdge(AnchorEdge edge)
{
    assign(this, anchorEdge_, edge, &WidgetStateManager::anchorEdgeChanged);
}
void WidgetStateManager::setActiveTab(std::optional<FileCategory> tab)
{
    assign(this, activeTab_, tab, &WidgetStateManager::activeTabChanged);
}
void WidgetStateManager::setInlineError(std::optional<std::string> message)
{
    assign(this, inlineError_, std::move(message), &WidgetStateManager::inlineErrorChanged);
}
void WidgetStateManager::setIsAppendDragOver(bool over)
{
    assign(this, isAppendDragOver_, over, &WidgetStateManager::isAppendDragOverChanged);
}
void WidgetStateManager::setShowDonation(bool show)
{
    assign(this, showDonation_, show, &WidgetStateManager::showDonationChanged);
}
void WidgetStateManager::setStreamingText(std::string text)
{
    assign(this, streamingText_, std::move(text), &WidgetStateManager::streamingTextChanged);
}
void WidgetStateManager::setSummaryNote(std::optional<std::string> note)
{
    assign(this, summaryNote_, std::move(note), &WidgetStateManager::summaryNoteChanged);
}
void WidgetStateManager::setActionAreaNotice(std::optional<std::string> notice)
{
    assign(this, actionAreaNotice_, std::move(notice), &WidgetStateManager::actionAreaNoticeChanged);
}

void WidgetStateManager::setPayload(std::optional<DropPayload> payload)
{
    {
        std::lock_guard lock(snapshotMutex_);
        payload_ = std::move(payload);
    }
    ++payloadSerial_;
    Q_EMIT payloadChanged();
}

std::optional<DropPayload> WidgetStateManager::payloadSnapshot() const
{
    std::lock_guard lock(snapshotMutex_);
    return payload_;
}

// MARK: derived values

std::optional<CategoryGroup> WidgetStateManager::activeGroup() const
{
    if (!payload_)
        return std::nullopt;
    if (!activeTab_) {
        if (payload_->groups.empty())
            return std::nullopt;
        return payload_->groups.front();
    }
    for (const auto& group : payload_->groups)
        if (group.category == *activeTab_)
            return group;
    return std::nullopt;
}

bool WidgetStateManager::showTabs() const
{
    return payload_ && payload_->groups.size() > 1;
}

std::vector<FileAction> WidgetStateManager::suggestedActions() const
{
    return ActionResolver{payload_, activeGroup(), activeTab_}.suggestedActions();
}

// MARK: drops

void WidgetStateManager::handleDrop(const std::vector<std::filesystem::path>& urls)
{
    if (urls.empty())
        return;
    forgetFeedbackOfTheLastDrop();
    setPayload(std::nullopt);
    requestPayload(urls, &WidgetStateManager::showBuiltPayload);
    setActiveTab(std::nullopt);
    processingTimeOver_ = false;
    setState(WidgetPhase::processing());

    // Any drop's step ends the phase's minimum: a drop during processing does not prolong it.
    after(processingTime, [this] {
        if (!state_.is(WidgetPhase::Kind::processing))
            return;
        processingTimeOver_ = true;
        showActionsOnceReady();
    });
}

void WidgetStateManager::forgetFeedbackOfTheLastDrop()
{
    // A row error blocks taps on its row; a donation card would answer for the old run.
    setInlineError(std::nullopt);
    clearSingleFileError();
    donationRunInputs_.reset();
    setShowDonation(false);
}

void WidgetStateManager::requestPayload(std::vector<std::filesystem::path> paths, PayloadLanding landed)
{
    const std::uint64_t serial = ++payloadSerial_;
    pendingPaths_ = paths;
    runInBackground(
        this, [build = services_.buildPayload, paths = std::move(paths)] { return build(paths); },
        [this, serial, landed](DropPayload payload) {
            if (payloadSerial_ != serial)
                return; // a newer drop, append or reset came meanwhile
            pendingPaths_.reset();
            setPayload(std::move(payload));
            (this->*landed)();
        });
}

std::optional<std::vector<std::filesystem::path>> WidgetStateManager::currentPaths() const
{
    if (pendingPaths_)
        return pendingPaths_;
    if (payload_)
        return payload_->urls;
    return std::nullopt;
}

void WidgetStateManager::showBuiltPayload()
{
    if (state_.is(WidgetPhase::Kind::processing))
        showActionsOnceReady();
    else if (state_.is(WidgetPhase::Kind::actions))
        resetSoonIfOnlyUnsupported();
}

void WidgetStateManager::showActionsOnceReady()
{
    if (!state_.is(WidgetPhase::Kind::processing) || !processingTimeOver_ || pendingPaths_ || !payload_)
        return;
    setState(WidgetPhase::actions());
    resetSoonIfOnlyUnsupported();
}

void WidgetStateManager::resetSoonIfOnlyUnsupported()
{
    const auto actions = suggestedActions();
    if (actions.size() != 1 || actions.front().id != ActionIds::unsupported)
        return;
    // Only the card of this very payload goes away: a newer drop or append keeps its own.
    const std::uint64_t shown = payloadSerial_;
    after(unsupportedResetTime, [this, shown] {
        if (state_.is(WidgetPhase::Kind::actions) && payloadSerial_ == shown)
            reset();
    });
}

void WidgetStateManager::appendFiles(const std::vector<std::filesystem::path>& urls)
{
    const auto current = currentPaths();
    if (!current) {
        handleDrop(urls);
        return;
    }
    std::set<std::string> known;
    for (const auto& path : *current)
        known.insert(standardizedPath(path));
    std::vector<std::filesystem::path> added;
    for (const auto& path : urls)
        if (known.insert(standardizedPath(path)).second)
            added.push_back(path);
    const std::size_t skipped = urls.size() - added.size();

    if (!added.empty()) {
        std::vector<std::filesystem::path> all = *current;
        all.insert(all.end(), added.begin(), added.end());
        requestPayload(std::move(all), &WidgetStateManager::showBuiltPayload);
        if (skipped == 1)
            showActionAreaNotice("1 duplicate skipped");
        else if (skipped > 1)
            showActionAreaNotice(std::to_string(skipped) + " duplicates skipped");
    } else if (!urls.empty()) {
        showActionAreaNotice(urls.size() == 1 ? "Already added" : "All " + std::to_string(urls.size()) + " files already added");
    }
}

void WidgetStateManager::reset()
{
    ++conversionGeneration_;
    stopCurrentRun();
    pendingPaths_.reset();
    donationRunInputs_.reset();
    setShowDonation(false);
    setStreamingText("");
    setSummaryNote(std::nullopt);
    setState(WidgetPhase::idle());
    setPayload(std::nullopt);
    setActiveTab(std::nullopt);
    setInlineError(std::nullopt);
}

void WidgetStateManager::cancelConversion()
{
    ++conversionGeneration_;
    stopCurrentRun();
    if (state_.is(WidgetPhase::Kind::converting)) {
        setState(WidgetPhase::actions());
    } else if (state_.is(WidgetPhase::Kind::summarizing)) {
        setStreamingText("");
        setState(WidgetPhase::actions());
    }
}

void WidgetStateManager::stopCurrentRun()
{
    const auto task = std::exchange(conversionTask_, nullptr);
    const auto folder = std::exchange(currentOutputFolder_, std::nullopt);
    if (!task)
        return;
    if (!folder) {
        task->cancel();
        return;
    }
    // The folder goes only once the run's last operation has returned, so nothing is
    // written into it after it is removed; and the removal never holds up this thread.
    task->cancelThen([folder = *folder] { removeRunFolder(folder); });
}

// MARK: notices

void WidgetStateManager::showActionAreaNotice(const std::string& notice)
{
    setActionAreaNotice(notice);
    after(actionAreaNoticeTime, [this] { setActionAreaNotice(std::nullopt); });
}

void WidgetStateManager::showInlineError(const std::string& message)
{
    setInlineError(message);
    after(inlineErrorTime, [this, message] {
        if (inlineError_ == message)
            setInlineError(std::nullopt);
    });
}

void WidgetStateManager::showSingleFileError(const std::string& actionId, const std::string& message)
{
    setInlineError(std::nullopt);
    setState(WidgetPhase::actions());
    setSingleFileError(actionId, message);
    after(singleFileErrorTime, [this, message] {
        if (singleFileError_ == message)
            clearSingleFileError();
    });
}

void WidgetStateManager::clearSingleFileError()
{
    setSingleFileError(std::nullopt, std::nullopt);
}

void WidgetStateManager::setSingleFileError(std::optional<std::string> actionId, std::optional<std::string> message)
{
    // The message and its row change together, and are announced once.
    if (singleFileErrorActionId_ == actionId && singleFileError_ == message)
        return;
    singleFileErrorActionId_ = std::move(actionId);
    singleFileError_ = std::move(message);
    Q_EMIT singleFileErrorChanged();
}

void WidgetStateManager::after(Scheduler::Duration delay, std::function<void()> step)
{
    services_.scheduler->post(delay, this, std::move(step));
}

} // namespace vantory
