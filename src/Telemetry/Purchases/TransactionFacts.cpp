#include "Telemetry/Purchases/TransactionFacts.h"

#include "Telemetry/Purchases/CurrencyRates.h"

namespace vantory {

SignalParameters purchaseParameters(const PurchaseTransaction& transaction)
{
    SignalParameters parameters = {
        {"Telemetry.Purchase.type", transaction.subscriptionGroupID ? "subscription" : "one-time-purchase"},
        {"Telemetry.Purchase.countryCode", transaction.storefrontCountryCode},
        {"Telemetry.Purchase.productID", transaction.productID},
    };
    if (transaction.currencyCode)
        parameters.emplace("Telemetry.Purchase.currencyCode", *transaction.currencyCode);
    return parameters;
}

double priceInUSD(const PurchaseTransaction& transaction)
{
    const double price = transaction.price.value_or(0);
    if (!transaction.currencyCode)
        return 0;
    if (*transaction.currencyCode == "USD")
        return price;
    const auto rate = CurrencyRates::unitsPerUSDollar(*transaction.currencyCode);
    return rate ? price / *rate : 0;
}

bool startsFreeTrial(const PurchaseTransaction& transaction)
{
    return transaction.productType == ProductType::autoRenewable && transaction.offerType == OfferType::introductory
           && transaction.price.value_or(0) == 0;
}

bool isFreeTrial(const PurchaseTransaction& transaction)
{
    return transaction.offerType == OfferType::introductory && transaction.offerPaymentMode == OfferPaymentMode::freeTrial;
}

} // namespace vantory
