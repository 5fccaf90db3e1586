#pragma once

#include <QDateTime>
#include <cstdint>
#include <optional>
#include <string>

namespace vantory {

enum class ProductType { consumable, nonConsumable, autoRenewable, nonRenewable };
enum class OfferType { introductory, promotional, code };
enum class OfferPaymentMode { freeTrial, payAsYouGo, payUpFront };

// One purchase as a store reports it. Linux has no store of its own, so whoever sells
// through one fills this record from it.
struct PurchaseTransaction {
    std::string productID;
    // Present for subscriptions only.
    std::optional<std::string> subscriptionGroupID;
    std::string storefrontCountryCode;
    // ISO 4217 code of the price's currency.
    std::optional<std::string> currencyCode;
    std::optional<double> price;
    ProductType productType = ProductType::nonConsumable;
    // The offer the purchase was made through, if any.
    std::optional<OfferType> offerType;
    std::optional<OfferPaymentMode> offerPaymentMode;
    // The id of the first transaction of a subscription; renewals share it.
    std::uint64_t originalID = 0;
    std::optional<QDateTime> revocationDate;
    std::optional<QDateTime> expirationDate;
    bool isUpgraded = false;
    // Whether the store's signature on the transaction checked out.
    bool isVerified = true;
};

} // namespace vantory
