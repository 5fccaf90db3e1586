#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"
#include "Telemetry/Purchases/PurchaseTransaction.h"

namespace vantory {

// The "Telemetry.Purchase.*" parameters of a transaction: its type, storefront country,
// product and, when it has one, currency.
SignalParameters purchaseParameters(const PurchaseTransaction& transaction);

// The price in US dollars; 0 when price or currency is missing or the currency is unknown.
double priceInUSD(const PurchaseTransaction& transaction);

// A purchase that starts a free trial: an auto-renewable subscription bought through an
// introductory offer for nothing.
bool startsFreeTrial(const PurchaseTransaction& transaction);

// A transaction still inside its free trial: an introductory offer paid as a free trial.
bool isFreeTrial(const PurchaseTransaction& transaction);

} // namespace vantory
