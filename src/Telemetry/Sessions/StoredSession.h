#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One usage session: when it began and how many active seconds it has lasted.
struct StoredSession {
    QDateTime startedAt;
    long long durationInSeconds = 0;

    bool operator==(const StoredSession&) const = default;
};

namespace StoredSessionCoding {

// A JSON array of {"startedAt": whole seconds since 1970, "durationInSeconds": n}.
std::string json(const std::vector<StoredSession>& sessions);

// Reads that form; "startedAt" may carry a fraction. None when anything does not fit.
std::optional<std::vector<StoredSession>> fromJson(const std::string& json);

} // namespace StoredSessionCoding

} // namespace vantory
