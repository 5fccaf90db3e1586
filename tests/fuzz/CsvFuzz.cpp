// CSV and TSV text to JSON records: the rows and fields as CsvText reads them, written
// exactly as the JSON library writes the same array of objects.
#include "Converters/Data/CsvRecords.h"
#include "Converters/Data/CsvText.h"
#include "FuzzSupport.h"
#include "Platform/Utf8Text.h"

using namespace vantory;

namespace {

nlohmann::json expectedRecords(const std::vector<std::string_view>& rows, char separator)
{
    const std::vector<std::string> headers = data::parseCSVRow(rows.front(), separator);
    nlohmann::json records = nlohmann::json::array();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string> fields = data::parseCSVRow(rows[r], separator);
        nlohmann::json record = nlohmann::json::object();
        for (std::size_t i = 0; i < headers.size(); ++i)
            record[headers[i]] = i < fields.size() ? fields[i] : std::string();
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    // The processor reads CSV as UTF-8 text and refuses anything else.
    if (!isValidUTF8(text))
        return 0;
    const std::vector<std::string_view> rows = data::splitCSVRows(text);
    for (const std::string_view row : rows) {
        VANTORY_FUZZ_CHECK(!row.empty());
        VANTORY_FUZZ_CHECK(row.data() >= text.data() && row.data() + row.size() <= text.data() + text.size());
    }
    if (rows.empty())
        return 0;
    for (const char separator : {',', '\t'}) {
        const std::string written = fuzz::writtenText(
            [&](OutputFile& out) { data::writeRowsAsJsonRecords(rows, separator, out); });
        VANTORY_FUZZ_CHECK(written == expectedRecords(rows, separator).dump(2));
    }
    for (const std::string_view row : rows)
        for (const std::string& field : data::parseCSVRow(row, ','))
            (void)data::escapeCSV(field);
    return 0;
}
