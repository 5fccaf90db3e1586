#pragma once

#include "Telemetry/Purchases/PurchaseTransaction.h"
#include "Telemetry/Purchases/StoredTrial.h"
#include "Telemetry/Purchases/TransactionUpdateSource.h"

#include <QDateTime>
#include <memory>
#include <mutex>
#include <optional>

namespace vantory {

// What a transaction update means for the trial being watched.
enum class TrialUpdate {
    ignored, // unverified, no trial, or another product or subscription
    ended, // revoked, expired or upgraded
    stillTrial,
    converted,
};

TrialUpdate classifyTrialUpdate(const PurchaseTransaction& update, const std::optional<StoredTrial>& trial, const QDateTime& now);

// Watches a free trial until it turns into a paid subscription, which it reports as
// "Telemetry.Purchase.convertedFromTrial", or ends. The trial is kept in memory, so an
// update arriving right after the trial started always sees it, and written through to
// "lastTrial" in the per-app defaults so that a later run can watch it again.
class TrialConversionTracker {
public:
    static TrialConversionTracker& shared();

    TrialConversionTracker() = default;
    TrialConversionTracker(const TrialConversionTracker&) = delete;
    TrialConversionTracker& operator=(const TrialConversionTracker&) = delete;

    // Gives the tracker the store's update stream (none stops any watching). Call it at
    // start-up, after Telemetry::initialize: a trial an earlier run left in "lastTrial"
    // is watched again from here.
    void setTransactionSource(std::shared_ptr<TransactionUpdateSource> source);

    std::optional<StoredTrial> currentTrial() const;
    // Keeps `trial` and writes it to "lastTrial"; none removes the key.
    void setCurrentTrial(std::optional<StoredTrial> trial);

    // Watches the source's updates for the current trial, replacing any earlier watch.
    // Without a source it does nothing.
    void startObservingTransactions();

private:
    void handle(const PurchaseTransaction& update);
    // Callers hold mutex_.
    void keepTrial(std::optional<StoredTrial> trial);

    mutable std::mutex mutex_;
    std::shared_ptr<TransactionUpdateSource> source_;
    std::optional<StoredTrial> trial_;
    std::unique_ptr<TransactionObservation> observation_;
};

} // namespace vantory
