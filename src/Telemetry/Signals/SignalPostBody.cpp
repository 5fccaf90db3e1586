#include "Telemetry/Signals/SignalPostBody.h"

#include <nlohmann/json.hpp>
#include <sstream>

namespace vantory {

namespace {

using nlohmann::json;

// 2001-01-01 00:00:00 UTC, where the cache file counts its dates from.
const QDateTime& referenceDate()
{
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

std::string wireDate(const QDateTime& date)
{
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toStdString() + "+0000";
}

double cacheDate(const QDateTime& date)
{
    return static_cast<double>(referenceDate().msecsTo(date)) / 1000.0;
}

// The dates a record can carry: from 1970 to the last second of year 9999, in seconds
// since the reference date. Anything else was not written by this client.
const QDateTime& earliestCacheDate()
{
    static const QDateTime date(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

const QDateTime& latestCacheDate()
{
    static const QDateTime date(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
    return date;
}

// None when `seconds` lies outside those dates.
std::optional<QDateTime> fromCacheDate(double seconds)
{
    const auto earliest = static_cast<double>(referenceDate().secsTo(earliestCacheDate()));
    const auto latest = static_cast<double>(referenceDate().secsTo(latestCacheDate()));
    if (!(seconds >= earliest && seconds <= latest))
        return std::nullopt;
    return referenceDate().addMSecs(static_cast<qint64>(std::llround(seconds * 1000.0)));
}

json recordJson(const SignalPostBody& record, json receivedAt)
{
    json object = {
        {"receivedAt", std::move(receivedAt)}, {"appID", record.appID}, {"clientUser", record.clientUser},
        {"sessionID", record.sessionID},       {"type", record.type},   {"payload", record.payload},
        {"isTestMode", record.isTestMode},
    };
    if (record.floatValue)
        object["floatValue"] = *record.floatValue;
    return object;
}

// Text that is not valid UTF-8 is written with replacement characters instead of failing.
std::string dump(const json& value)
{
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

const json& member(const json& object, const char* key)
{
    return object.at(key);
}

std::string text(const json& object, const char* key)
{
    return member(object, key).get<std::string>();
}

// None when the record's date is out of range; throws when a key is missing or of the wrong type.
std::optional<SignalPostBody> recordFromCache(const json& object)
{
    SignalPostBody record;
    const auto receivedAt = fromCacheDate(member(object, "receivedAt").get<double>());
    record.appID = text(object, "appID");
    record.clientUser = text(object, "clientUser");
    record.sessionID = text(object, "sessionID");
    record.type = text(object, "type");
    if (const auto found = object.find("floatValue"); found != object.end() && !found->is_null())
        record.floatValue = found->get<double>();
    record.payload = member(object, "payload").get<SignalParameters>();
    record.isTestMode = text(object, "isTestMode");
    if (!receivedAt)
        return std::nullopt;
    record.receivedAt = *receivedAt;
    return record;
}

} // namespace

std::string SignalPostBody::description() const
{
    std::ostringstream out;
    out << "SignalPostBody(receivedAt: " << wireDate(receivedAt) << ", appID: " << appID << ", clientUser: " << clientUser
        << ", sessionID: " << sessionID << ", type: " << type << ", floatValue: ";
    if (floatValue)
        out << *floatValue;
    else
        out << "nil";
    out << ", payload: " << dump(json(payload)) << ", isTestMode: " << isTestMode << ")";
    return out.str();
}

namespace SignalPostBodyCoding {

std::string wireJson(const std::vector<SignalPostBody>& records)
{
    json array = json::array();
    for (const auto& record : records)
        array.push_back(recordJson(record, wireDate(record.receivedAt)));
    return dump(array);
}

std::string cacheJson(const std::vector<SignalPostBody>& records)
{
    json array = json::array();
    for (const auto& record : records)
        array.push_back(recordJson(record, cacheDate(record.receivedAt)));
    return dump(array);
}

std::optional<CachedRecords> fromCacheJson(const std::string& text)
{
    try {
        const json array = json::parse(text);
        if (!array.is_array())
            return std::nullopt;
        CachedRecords cached;
        cached.records.reserve(array.size());
        for (const auto& object : array) {
            if (auto record = recordFromCache(object))
                cached.records.push_back(std::move(*record));
            else
                ++cached.outOfRangeDates;
        }
        return cached;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

} // namespace SignalPostBodyCoding

} // namespace vantory
