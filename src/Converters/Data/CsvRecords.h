#pragma once

#include "Converters/OutputFile.h"

#include <nlohmann/json.hpp>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::data {

// CSV rows (the first one the header) written as a pretty JSON array with one object
// per later row, keys sorted, every value a string: the same text the library's writer
// gives for that array, produced row by row. A missing field is the empty string, extra
// fields are dropped, and of two equal headers the later column stands. Throws
// ConversionCancelled between rows once `stop` is requested.
void writeRowsAsJsonRecords(const std::vector<std::string_view>& rows, char separator, OutputFile& out,
                            const std::stop_token& stop = {});

// An array of objects written as CSV, line by line as it is made: a header of every key
// in order of first appearance, then one line per object. Throws
// ConversionError::invalidDataStructure, before writing anything, for anything but a
// non-empty array of objects, and ConversionCancelled between records once `stop` is
// requested.
void writeJsonRecordsAsCsv(const nlohmann::ordered_json& records, OutputFile& out, const std::stop_token& stop = {});

// The failure for JSON that is not a non-empty array of objects.
[[noreturn]] void throwNotJsonRecords();

} // namespace vantory::data
