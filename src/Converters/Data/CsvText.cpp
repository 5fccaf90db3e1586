#include "Converters/Data/CsvText.h"

#include "Converters/Data/Utf8Text.h"

namespace vantory::data {

std::string escapeCSV(std::string_view cell)
{
    std::string escaped;
    writeCSVCell(cell, escaped);
    return escaped;
}

std::vector<std::string_view> splitCSVRows(std::string_view text)
{
    std::vector<std::string_view> rows;
    bool inQuotes = false;
    std::size_t rowStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if ((c != '\n' && c != '\r') || inQuotes)
            continue;
        if (i > rowStart)
            rows.push_back(text.substr(rowStart, i - rowStart));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        rowStart = i + 1;
    }
    const std::string_view last = text.substr(std::min(rowStart, text.size()));
    if (!trimSpaces(last).empty())
        rows.push_back(last);
    return rows;
}

void parseCSVRow(std::string_view row, char separator, std::vector<std::string>& fields)
{
    std::size_t count = 0;
    const auto nextField = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        return field;
    };
    std::string* field = &nextField();
    bool inQuotes = false;
    std::size_t i = 0;
    while (i < row.size()) {
        // Copy the plain stretch up to the next quote or separator in one go.
        std::size_t plainEnd = i;
        while (plainEnd < row.size() && row[plainEnd] != '"' && (inQuotes || row[plainEnd] != separator))
            ++plainEnd;
        field->append(row.substr(i, plainEnd - i));
        i = plainEnd;
        if (i == row.size())
            break;
        if (row[i] == '"') {
            if (inQuotes && i + 1 < row.size() && row[i + 1] == '"') {
                field->push_back('"');
                i += 2;
                continue;
            }
            inQuotes = !inQuotes;
        } else {
            field = &nextField();
        }
        ++i;
    }
    fields.resize(count);
}

std::vector<std::string> parseCSVRow(std::string_view row, char separator)
{
    std::vector<std::string> fields;
    parseCSVRow(row, separator, fields);
    return fields;
}

} // namespace vantory::data
