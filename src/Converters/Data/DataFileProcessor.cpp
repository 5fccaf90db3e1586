#include "Converters/Data/DataFileProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Data/Base64.h"
#include "Converters/Data/CsvRecords.h"
#include "Converters/Data/CsvText.h"
#include "Converters/Data/FlatYaml.h"
#include "Converters/Data/JsonDocument.h"
#include "Converters/Data/JsonMinifier.h"
#include "Converters/Data/PrettyJsonWriter.h"
#include "Converters/Data/PropertyListJson.h"
#include "Converters/Data/SortedJsonFormatter.h"
#include "Converters/Data/Utf8Text.h"
#include "Converters/LibraryErrors.h"
#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Converters/RowAdapters.h"
#include "Models/ActionIds.h"
#include "Platform/InputFile.h"
#include "Platform/MappedFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/Utf8Text.h"

namespace vantory::DataFileProcessor {

namespace fs = std::filesystem;

namespace {

fs::path outputURL(const fs::path& url, const fs::path& outputFolder, const std::string& suffix, const std::string& ext)
{
    return OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + suffix, ext);
}

void writeBytes(const fs::path& destination, OutputFile::Mode mode, std::string_view bytes)
{
    OutputFile out(destination, mode);
    out.append(bytes);
    out.commit();
}

void writePrettyJsonFile(const fs::path& destination, const nlohmann::json& value)
{
    OutputFile out(destination, OutputFile::Mode::direct);
    data::writePrettyJson(value, out);
    out.commit();
}

struct OutputName {
    const char* suffix;
    const char* extension;
};

// Maps the whole file and writes what `convert` makes of its bytes into a new file.
void convertBytes(const fs::path& path, const fs::path& outputFolder, const OutputName& name, OutputFile::Mode mode,
                  void (*convert)(std::string_view, OutputFile&))
{
    translatingLibraryErrors(path, [&] {
        const MappedFile input(path);
        OutputFile out(outputURL(path, outputFolder, name.suffix, name.extension), mode);
        convert(input.bytes(), out);
        input.throwIfCutShort();
        out.commit();
    });
}

char csvSeparator(const fs::path& url)
{
    return lowercased(pathExtension(url)) == "tsv" ? '\t' : ',';
}

std::string decodedExtension(const std::string& bytes)
{
    if (data::isJsonContainer(bytes))
        return "json";
    if (!bytes.empty() && isValidUTF8(bytes))
        return "txt";
    return "bin";
}

} // namespace

void formatJSON(const fs::path& url, const fs::path& outputFolder)
{
    convertBytes(url, outputFolder, {"_formatted", "json"}, OutputFile::Mode::direct,
                 [](std::string_view bytes, OutputFile& out) { data::writeSortedPrettyJson(bytes, out); });
}

void minifyJSON(const fs::path& url, const fs::path& outputFolder)
{
    convertBytes(url, outputFolder, {"_min", "json"}, OutputFile::Mode::direct, data::writeMinifiedJson);
}

void jsonToCSV(const fs::path& url, const fs::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const MappedFile input(url);
        const std::string_view bytes = input.bytes();
        // The key-ordered document model inserts a key in time proportional to the keys
        // before it; a large top-level object would take minutes to build only to be refused.
        if (data::isJsonObject(bytes))
            data::throwNotJsonRecords();
        const nlohmann::ordered_json records = data::parseOrderedJsonContainer(bytes);
        OutputFile out(outputURL(url, outputFolder, "", "csv"), OutputFile::Mode::atomic);
        data::writeJsonRecordsAsCsv(records, out, stop);
        throwIfStopped(stop);
        input.throwIfCutShort();
        out.commit();
    });
}

void csvToJSON(const fs::path& url, const fs::path& outputFolder, std::stop_token stop)
{
    translatingLibraryErrors(url, [&] {
        const MappedFile input(url);
        const std::vector<std::string_view> rows = data::splitCSVRows(utf8Text(input.bytes(), url));
        if (rows.empty())
            throw ConversionError::noTextContent();
        OutputFile out(outputURL(url, outputFolder, "", "json"), OutputFile::Mode::direct);
        data::writeRowsAsJsonRecords(rows, csvSeparator(url), out, stop);
        throwIfStopped(stop);
        input.throwIfCutShort();
        out.commit();
    });
}

void yamlToJSON(const fs::path& url, const fs::path& outputFolder)
{
    translatingLibraryErrors(url, [&] {
        const MappedFile input(url);
        const nlohmann::json object = data::readFlatYaml(utf8Text(input.bytes(), url));
        input.throwIfCutShort();
        writePrettyJsonFile(outputURL(url, outputFolder, "", "json"), object);
    });
}

void xmlToJSON(const fs::path& url, const fs::path& outputFolder)
{
    translatingLibraryErrors(url, [&] {
        const MappedFile input(url);
        const nlohmann::json value = data::jsonFromPropertyList(input.bytes());
        input.throwIfCutShort();
        writePrettyJsonFile(outputURL(url, outputFolder, "", "json"), value);
    });
}

void base64Encode(const fs::path& url, const fs::path& outputFolder)
{
    convertBytes(url, outputFolder, {"_base64", "txt"}, OutputFile::Mode::atomic, data::writeBase64Lines);
}

void base64Decode(const fs::path& url, const fs::path& outputFolder)
{
    translatingLibraryErrors(url, [&] {
        const MappedFile input(url);
        const auto bytes = data::decodeBase64(utf8Text(input.bytes(), url));
        input.throwIfCutShort();
        if (!bytes)
            throw ConversionError::invalidDataStructure("Invalid Base64 content");
        writeBytes(outputURL(url, outputFolder, "_decoded", decodedExtension(*bytes)), OutputFile::Mode::direct, *bytes);
    });
}

DispatchTable rows()
{
    DispatchTable table;
    table.fileOperations = {
        {ActionIds::formatJson, serialRow(formatJSON)},     {ActionIds::minifyJson, serialRow(minifyJSON)},
        {ActionIds::jsonToCsv, serialRow(jsonToCSV)},       {ActionIds::csvToJson, serialRow(csvToJSON)},
        {ActionIds::yamlToJson, serialRow(yamlToJSON)},     {ActionIds::xmlToJson, serialRow(xmlToJSON)},
        {ActionIds::base64Encode, serialRow(base64Encode)}, {ActionIds::base64Decode, serialRow(base64Decode)},
    };
    return table;
}

} // namespace vantory::DataFileProcessor
