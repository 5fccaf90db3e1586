#include "Telemetry/Purchases/StoredTrial.h"

#include <nlohmann/json.hpp>

namespace vantory {

QByteArray encoded(const StoredTrial& trial)
{
    // An ordered object keeps the keys in the record's order.
    nlohmann::ordered_json json;
    json["productID"] = trial.productID;
    json["originalTransactionID"] = trial.originalTransactionID;
    return QByteArray::fromStdString(json.dump());
}

std::optional<StoredTrial> decodedTrial(const QByteArray& data)
{
    const auto json = nlohmann::json::parse(data.toStdString(), nullptr, false);
    if (!json.is_object())
        return std::nullopt;
    const auto productID = json.find("productID");
    const auto originalID = json.find("originalTransactionID");
    if (productID == json.end() || !productID->is_string() || originalID == json.end() || !originalID->is_number_unsigned())
        return std::nullopt;
    return StoredTrial{productID->get<std::string>(), originalID->get<std::uint64_t>()};
}

} // namespace vantory
