#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"

#include <QDateTime>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One signal as it is queued, cached and posted.
struct SignalPostBody {
    QDateTime receivedAt;
    std::string appID;
    // SHA-256 of the user identifier followed by the salt, in lower-case hexadecimal.
    std::string clientUser;
    // Upper-case canonical UUID text.
    std::string sessionID;
    std::string type;
    std::optional<double> floatValue;
    SignalParameters payload;
    // "true" or "false": the service reads text here.
    std::string isTestMode;

    bool operator==(const SignalPostBody&) const = default;

    // Every field with its value, for log lines.
    std::string description() const;
};

namespace SignalPostBodyCoding {

// The posted form: a JSON array, dates as "yyyy-MM-dd'T'HH:mm:ssZ" in GMT.
std::string wireJson(const std::vector<SignalPostBody>& records);

// The cache-file form: a JSON array, dates as seconds since 2001-01-01 00:00:00 UTC.
std::string cacheJson(const std::vector<SignalPostBody>& records);

struct CachedRecords {
    std::vector<SignalPostBody> records;
    // How many records were left out because their date is before 1970 or after 9999.
    std::size_t outOfRangeDates = 0;
};

// Reads the cache-file form; none unless every record has every key but floatValue.
std::optional<CachedRecords> fromCacheJson(const std::string& json);

} // namespace SignalPostBodyCoding

} // namespace vantory
