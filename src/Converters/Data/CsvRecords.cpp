#include "Converters/Data/CsvRecords.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Data/CsvText.h"
#include "Converters/Data/JsonString.h"

#include <algorithm>
#include <map>
#include <set>

namespace vantory::data {

namespace {

struct Column {
    std::string memberPrefix; // the indented, quoted key and ": "
    std::size_t field;
};

// One column per distinct header, in key order, reading the last field of that name.
std::vector<Column> columnsFor(const std::vector<std::string>& headers)
{
    std::map<std::string, std::size_t> lastFieldOf;
    for (std::size_t i = 0; i < headers.size(); ++i)
        lastFieldOf[headers[i]] = i;
    std::vector<Column> columns;
    for (const auto& [name, field] : lastFieldOf) {
        std::string prefix = "    ";
        writeJsonString(prefix, name);
        prefix += ": ";
        columns.push_back({std::move(prefix), field});
    }
    return columns;
}

void writeRecord(const std::vector<Column>& columns, const std::vector<std::string>& fields, OutputFile& out)
{
    out.append("  {\n");
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            out.append(",\n");
        out.append(columns[c].memberPrefix);
        const std::size_t field = columns[c].field;
        writeJsonString(out, field < fields.size() ? std::string_view(fields[field]) : std::string_view());
    }
    out.append("\n  }");
}

std::string cellText(const nlohmann::ordered_json& value)
{
    return value.is_string() ? value.get<std::string>() : value.dump();
}

std::vector<std::string> headerOf(const nlohmann::ordered_json& records)
{
    std::vector<std::string> header;
    std::set<std::string> seen;
    for (const auto& record : records)
        for (const auto& member : record.items())
            if (seen.insert(member.key()).second)
                header.push_back(member.key());
    return header;
}

void appendLine(std::string& csv, const std::vector<std::string>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            csv.push_back(',');
        csv += escapeCSV(cells[i]);
    }
    csv.push_back('\n');
}

} // namespace

void throwNotJsonRecords()
{
    throw ConversionError::invalidDataStructure("JSON must be an array of objects for CSV conversion");
}

void writeRowsAsJsonRecords(const std::vector<std::string_view>& rows, char separator, OutputFile& out,
                            const std::stop_token& stop)
{
    const std::vector<Column> columns = columnsFor(parseCSVRow(rows.front(), separator));
    std::vector<std::string> fields;
    out.push_back('[');
    for (std::size_t r = 1; r < rows.size(); ++r) {
        throwIfStopped(stop);
        out.append(r == 1 ? "\n" : ",\n");
        parseCSVRow(rows[r], separator, fields);
        writeRecord(columns, fields, out);
    }
    out.append(rows.size() > 1 ? "\n]" : "]");
}

std::string csvFromJsonRecords(const nlohmann::ordered_json& records, const std::stop_token& stop)
{
    if (!records.is_array() || records.empty())
        throwNotJsonRecords();
    if (!std::all_of(records.begin(), records.end(), [](const auto& record) { return record.is_object(); }))
        throwNotJsonRecords();
    const std::vector<std::string> header = headerOf(records);
    std::string csv;
    appendLine(csv, header);
    std::vector<std::string> cells(header.size());
    for (const auto& record : records) {
        throwIfStopped(stop);
        for (std::size_t i = 0; i < header.size(); ++i) {
            const auto found = record.find(header[i]);
            cells[i] = found == record.end() ? std::string() : cellText(*found);
        }
        appendLine(csv, cells);
    }
    return csv;
}

} // namespace vantory::data
