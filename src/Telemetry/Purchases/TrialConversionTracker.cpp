#include "Telemetry/Purchases/TrialConversionTracker.h"

#include "Telemetry/Purchases/TransactionFacts.h"
#include "Telemetry/Telemetry.h"
#include "Telemetry/TelemetryManager.h"

#include <utility>

namespace vantory {

namespace {

constexpr const char* lastTrialKey = "lastTrial";

QDateTime now()
{
    const auto manager = TelemetryManager::shared();
    return manager ? manager->now() : QDateTime::currentDateTimeUtc();
}

std::optional<StoredTrial> readStoredTrial()
{
    const auto defaults = Telemetry::customDefaults();
    if (!defaults)
        return std::nullopt;
    return decodedTrial(defaults->value(lastTrialKey).toByteArray());
}

void writeStoredTrial(const std::optional<StoredTrial>& trial)
{
    const auto defaults = Telemetry::customDefaults();
    if (!defaults)
        return;
    if (trial)
        defaults->setValue(lastTrialKey, encoded(*trial));
    else
        defaults->remove(lastTrialKey);
    defaults->sync();
}

} // namespace

TrialUpdate classifyTrialUpdate(const PurchaseTransaction& update, const std::optional<StoredTrial>& trial, const QDateTime& now)
{
    if (!update.isVerified || !trial)
        return TrialUpdate::ignored;
    if (update.productID != trial->productID || update.originalID != trial->originalTransactionID)
        return TrialUpdate::ignored;
    const bool expired = update.expirationDate && *update.expirationDate < now;
    if (update.revocationDate || expired || update.isUpgraded)
        return TrialUpdate::ended;
    if (isFreeTrial(update))
        return TrialUpdate::stillTrial;
    return TrialUpdate::converted;
}

TrialConversionTracker& TrialConversionTracker::shared()
{
    static TrialConversionTracker tracker;
    return tracker;
}

void TrialConversionTracker::setTransactionSource(std::shared_ptr<TransactionUpdateSource> source)
{
    std::unique_ptr<TransactionObservation> previous;
    bool watch = false;
    {
        std::lock_guard lock(mutex_);
        source_ = std::move(source);
        previous = std::move(observation_);
        if (!trial_)
            trial_ = readStoredTrial();
        watch = source_ && trial_;
    }
    if (watch)
        startObservingTransactions();
}

std::optional<StoredTrial> TrialConversionTracker::currentTrial() const
{
    std::lock_guard lock(mutex_);
    return trial_;
}

void TrialConversionTracker::setCurrentTrial(std::optional<StoredTrial> trial)
{
    std::lock_guard lock(mutex_);
    keepTrial(std::move(trial));
}

void TrialConversionTracker::startObservingTransactions()
{
    std::shared_ptr<TransactionUpdateSource> source;
    {
        std::lock_guard lock(mutex_);
        source = source_;
    }
    if (!source)
        return;
    // Observations are made and ended outside the lock: a source may deliver while it
    // makes one, and wait for a delivery in progress while it ends one.
    auto observation = source->observe([this](const PurchaseTransaction& update) { handle(update); });
    std::unique_ptr<TransactionObservation> unused;
    {
        std::lock_guard lock(mutex_);
        // The trial may have converted or ended while the observation began.
        unused = trial_ ? std::exchange(observation_, std::move(observation)) : std::move(observation);
    }
}

void TrialConversionTracker::handle(const PurchaseTransaction& update)
{
    std::unique_ptr<TransactionObservation> finished;
    TrialUpdate verdict;
    {
        std::lock_guard lock(mutex_);
        verdict = classifyTrialUpdate(update, trial_, now());
        if (verdict == TrialUpdate::ended || verdict == TrialUpdate::converted) {
            keepTrial(std::nullopt);
            finished = std::move(observation_);
        }
    }
    if (verdict == TrialUpdate::converted)
        Telemetry::internalSignal("Telemetry.Purchase.convertedFromTrial", purchaseParameters(update), priceInUSD(update));
}

void TrialConversionTracker::keepTrial(std::optional<StoredTrial> trial)
{
    trial_ = std::move(trial);
    writeStoredTrial(trial_);
}

} // namespace vantory
