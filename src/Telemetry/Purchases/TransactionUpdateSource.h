#pragma once

#include "Telemetry/Purchases/PurchaseTransaction.h"

#include <functional>
#include <memory>

namespace vantory {

// Delivery of transaction updates to one observer; destroying it stops the delivery.
// It may be destroyed from within the observer.
class TransactionObservation {
public:
    virtual ~TransactionObservation() = default;
};

// The store's stream of transaction updates (renewals, refunds, upgrades). Production
// has none; whoever sells through a store provides one.
class TransactionUpdateSource {
public:
    using Observer = std::function<void(const PurchaseTransaction&)>;

    virtual ~TransactionUpdateSource() = default;

    // Passes every later update to `observer`, on any thread, while the returned
    // observation lives.
    virtual std::unique_ptr<TransactionObservation> observe(Observer observer) = 0;
};

} // namespace vantory
