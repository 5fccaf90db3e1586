#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantory::data {

// One cell for a comma-separated line: a cell holding a comma, a double quote, a line
// feed or a carriage return is wrapped in double quotes with its quotes doubled.
std::string escapeCSV(std::string_view cell);

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
