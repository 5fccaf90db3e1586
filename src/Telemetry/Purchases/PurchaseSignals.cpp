#include "Telemetry/Telemetry.h"

#include "Telemetry/Purchases/TransactionFacts.h"
#include "Telemetry/Purchases/TrialConversionTracker.h"

namespace vantory {

void Telemetry::purchaseCompleted(const PurchaseTransaction& transaction, const SignalParameters& parameters,
                                  const UserID& customUserID)
{
    const SignalParameters combined = applying(purchaseParameters(transaction), parameters);
    if (!startsFreeTrial(transaction)) {
        internalSignal("Telemetry.Purchase.completed", combined, priceInUSD(transaction), customUserID);
        return;
    }
    internalSignal("Telemetry.Purchase.freeTrialStarted", combined, std::nullopt, customUserID);
    auto& tracker = TrialConversionTracker::shared();
    tracker.setCurrentTrial(StoredTrial{transaction.productID, transaction.originalID});
    tracker.startObservingTransactions();
}

} // namespace vantory
