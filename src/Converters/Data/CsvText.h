#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantory::data {

// One cell for a comma-separated line: a cell holding a comma, a double quote, a line
// feed or a carriage return is wrapped in double quotes with its quotes doubled.
std::string escapeCSV(std::string_view cell);

// The same cell written into `out`, anything with append(std::string_view) and push_back(char).
template <class Out>
void writeCSVCell(std::string_view cell, Out& out)
{
    // A bare carriage return needs quoting as much as a line feed: the reader ends a row
    // at either.
    if (cell.find_first_of(",\"\n\r") == std::string_view::npos) {
        out.append(cell);
        return;
    }
    out.push_back('"');
    for (std::size_t quote; (quote = cell.find('"')) != std::string_view::npos; cell.remove_prefix(quote + 1)) {
        out.append(cell.substr(0, quote + 1));
        out.push_back('"');
    }
    out.append(cell);
    out.push_back('"');
}

// The rows of CSV text, as views into it. A line feed, a carriage return or the pair of
// them ends a row unless it lies inside double quotes, where it stays in the row.
// Empty rows are dropped; a last row without a line end is kept unless it is blank.
std::vector<std::string_view> splitCSVRows(std::string_view text);

// The fields of one row. Double quotes open and close quoted stretches (not kept); two
// double quotes inside quotes are one quote. Fields are not trimmed, and the last field
// is kept even when empty. `fields` is reused to spare allocations.
void parseCSVRow(std::string_view row, char separator, std::vector<std::string>& fields);
std::vector<std::string> parseCSVRow(std::string_view row, char separator);

} // namespace vantory::data
