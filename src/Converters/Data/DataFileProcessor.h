#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>

// The structured-data and Base64 actions. Each operation reads one input file and writes
// one new file into outputFolder, or throws ConversionError for the failures it knows and
// PlatformError (one readable sentence) for failures of reading, parsing or writing.
namespace vantory::DataFileProcessor {

// Every operation below under its action id, all on the serial lane.
DispatchTable rows();

// Pretty, keys sorted: stem + "_formatted" + ".json".
void formatJSON(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// No white space, keys as written: stem + "_min" + ".json".
void minifyJSON(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// An array of objects to one CSV line per object under a header of all keys.
// Throws ConversionCancelled between records once `stop` is requested.
void jsonToCSV(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});
// CSV (or TSV, by extension) to a pretty array of string-valued objects.
// Throws ConversionCancelled between rows once `stop` is requested.
void csvToJSON(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});
// Flat "key: value" lines to one pretty object.
void yamlToJSON(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// A property list (XML or binary) to pretty JSON.
void xmlToJSON(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// Base64 text wrapped at 76 characters: stem + "_base64" + ".txt".
void base64Encode(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// The decoded bytes: stem + "_decoded" + ".json", ".txt" or ".bin" by content.
void base64Decode(const std::filesystem::path& url, const std::filesystem::path& outputFolder);

} // namespace vantory::DataFileProcessor
