#include "Converters/Data/CsvRecords.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Data/CsvText.h"
#include "Converters/Data/JsonString.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

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

void writeCell(const nlohmann::ordered_json& value, OutputFile& out)
{
    if (value.is_string())
        writeCSVCell(value.get_ref<const std::string&>(), out);
    else
        writeCSVCell(value.dump(), out);
}

// Every key of the records once, in order of first appearance.
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

// The records' lines: a record sets the cells of its own keys, the rest stay empty, so a
// line costs its record's members and a comma per column.
class CsvLines {
public:
    explicit CsvLines(const std::vector<std::string>& header) : cells_(header.size(), nullptr)
    {
        for (std::size_t i = 0; i < header.size(); ++i)
            columnOf_.emplace(header[i], i);
    }

    void write(const nlohmann::ordered_json& record, OutputFile& out)
    {
        for (const auto& [key, value] : record.items()) {
            const std::size_t column = columnOf_.at(key);
            cells_[column] = &value;
            filled_.push_back(column);
        }
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (i > 0)
                out.push_back(',');
            if (cells_[i])
                writeCell(*cells_[i], out);
        }
        out.push_back('\n');
        for (const std::size_t column : filled_)
            cells_[column] = nullptr;
        filled_.clear();
    }

private:
    std::unordered_map<std::string_view, std::size_t> columnOf_; // views of the header's keys
    std::vector<const nlohmann::ordered_json*> cells_;
    std::vector<std::size_t> filled_;
};

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

void writeJsonRecordsAsCsv(const nlohmann::ordered_json& records, OutputFile& out, const std::stop_token& stop)
{
    if (!records.is_array() || records.empty())
        throwNotJsonRecords();
    if (!std::all_of(records.begin(), records.end(), [](const auto& record) { return record.is_object(); }))
        throwNotJsonRecords();
    const std::vector<std::string> header = headerOf(records);
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        writeCSVCell(header[i], out);
    }
    out.push_back('\n');
    CsvLines lines(header);
    for (const auto& record : records) {
        throwIfStopped(stop);
        lines.write(record, out);
    }
}

} // namespace vantory::data
