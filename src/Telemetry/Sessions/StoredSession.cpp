#include "Telemetry/Sessions/StoredSession.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace vantory::StoredSessionCoding {

std::string json(const std::vector<StoredSession>& sessions)
{
    nlohmann::json array = nlohmann::json::array();
    for (const auto& session : sessions) {
        // Integer division cuts toward zero, as the stored form asks.
        const long long seconds = session.startedAt.toMSecsSinceEpoch() / 1000;
        array.push_back({{"startedAt", seconds}, {"durationInSeconds", session.durationInSeconds}});
    }
    return array.dump();
}

std::optional<std::vector<StoredSession>> fromJson(const std::string& text)
{
    try {
        const auto array = nlohmann::json::parse(text);
        if (!array.is_array())
            return std::nullopt;
        std::vector<StoredSession> sessions;
        for (const auto& object : array) {
            const double startedAt = object.at("startedAt").get<double>();
            const auto milliseconds = static_cast<qint64>(std::trunc(startedAt * 1000.0));
            sessions.push_back(
                {QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC), object.at("durationInSeconds").get<long long>()});
        }
        return sessions;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

} // namespace vantory::StoredSessionCoding
