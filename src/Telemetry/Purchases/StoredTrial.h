#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>

namespace vantory {

// The free trial whose conversion is being watched, as kept under "lastTrial".
struct StoredTrial {
    std::string productID;
    std::uint64_t originalTransactionID = 0;

    bool operator==(const StoredTrial&) const = default;
};

// {"productID":…,"originalTransactionID":…}
QByteArray encoded(const StoredTrial& trial);
// None for data that is not such an object.
std::optional<StoredTrial> decodedTrial(const QByteArray& data);

} // namespace vantory
