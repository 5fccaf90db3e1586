#include "Converters/ConversionError.h"
#include "Converters/Data/CsvText.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Platform/PlatformError.h"
#include "support/OutputFolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

class CsvOperations : public ::testing::Test {
protected:
    fs::path out() const
    {
        fs::create_directories(dir / "out");
        return dir / "out";
    }
    // csvToJSON of `text` in a file of that name, the output parsed back.
    json records(const std::string& text, const std::string& name = "table.csv")
    {
        const auto written = convert(text, name);
        fs::remove(written.path);
        return json::parse(written.content);
    }
    WrittenFile convert(const std::string& text, const std::string& name = "table.csv")
    {
        DataFileProcessor::csvToJSON(dir.write("in/" + name, text), out());
        return onlyFileIn(out());
    }
    WrittenFile toCSV(const std::string& jsonText)
    {
        DataFileProcessor::jsonToCSV(dir.write("in/records.json", jsonText), out());
        return onlyFileIn(out());
    }

    TempDir dir;
};

} // namespace

TEST_F(CsvOperations, JsonToCsvCollectsHeaderInOrderAndQuotesCells)
{
    const auto written = toCSV(R"([{"a": 1, "b": "x,y"}, {"a": 2, "c": "say \"hi\""}])");
    EXPECT_EQ(written.content, "a,b,c\n1,\"x,y\",\n2,,\"say \"\"hi\"\"\"\n");
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("records_[0-9a-f]{8}\\.csv")));
}

TEST_F(CsvOperations, JsonToCsvWritesOtherValuesAsJsonText)
{
    const auto written = toCSV(R"([{"n": null, "t": true, "f": 1.5, "i": -3, "arr": [1, "x"], "obj": {"k": "v"}}])");
    EXPECT_EQ(written.content, "n,t,f,i,arr,obj\nnull,true,1.5,-3,\"[1,\"\"x\"\"]\",\"{\"\"k\"\":\"\"v\"\"}\"\n");
}

TEST_F(CsvOperations, JsonToCsvRefusesAnythingButAnArrayOfObjects)
{
    for (const std::string text : {"[]", R"({"a": 1})", "[1, 2]", R"([{"a": 1}, 2])", R"([{"a": 1}, []])"}) {
        SCOPED_TRACE(text);
        try {
            toCSV(text);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::invalidDataStructure("JSON must be an array of objects for CSV conversion"));
        }
        EXPECT_TRUE(entriesIn(out()).empty());
    }
}

TEST_F(CsvOperations, LargeTopLevelObjectIsRefusedWithoutBuildingIt)
{
    std::string text = "{";
    for (int i = 0; i < 300000; ++i)
        text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
    text += "}";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(toCSV(text), ConversionError);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(CsvOperations, JsonToCsvOfMalformedJsonIsAReadableSentence)
{
    try {
        toCSV("[{\"a\": }]");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_STREQ(error.what(), "The data couldn\u2019t be read because it isn\u2019t in the correct format.");
    }
    try {
        toCSV("{\"a\": ");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_EQ(std::string(error.what()).find("json.exception"), std::string::npos);
        EXPECT_STREQ(error.what(), "The data couldn\u2019t be read because it isn\u2019t in the correct format.");
    }
}

// Every cell comes back from CSV unchanged, line ends of all three kinds included.
TEST_F(CsvOperations, CellsSurviveTheRoundTripThroughCsv)
{
    const json original = json::parse(R"([
        {"lf": "a\nb", "cr": "a\rb", "crlf": "a\r\nb", "quote": "say \"x\"", "comma": "1,2", "plain": "p"},
        {"lf": "", "cr": "\r", "crlf": "end\r\n", "quote": "\"", "comma": ",", "plain": " spaced "}
    ])");
    const auto csv = toCSV(original.dump());
    fs::remove(csv.path);
    EXPECT_EQ(records(csv.content), original);
}

TEST_F(CsvOperations, CsvToJsonWritesSortedStringRecordsInTheJsonWritersForm)
{
    const auto written = convert("name,age,city\nAda,36,London\nLin,\"7\",\"Oslo, NO\"\n");
    const json expected = json::parse(R"([{"name": "Ada", "age": "36", "city": "London"},
                                          {"name": "Lin", "age": "7", "city": "Oslo, NO"}])");
    EXPECT_EQ(written.content, expected.dump(2));
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("table_[0-9a-f]{8}\\.json")));
}

TEST_F(CsvOperations, LineEndsOfEveryKindGiveTheSameRows)
{
    const json lf = records("a,b\n1,\"x\ny\"\n2,z\n");
    EXPECT_EQ(lf, json::parse(R"([{"a": "1", "b": "x\ny"}, {"a": "2", "b": "z"}])"));
    EXPECT_EQ(records("a,b\r\n1,\"x\ny\"\r\n2,z\r\n"), lf);
    EXPECT_EQ(records("a,b\r1,\"x\ny\"\r2,z"), lf);
    EXPECT_EQ(records("a,b\n\n\n1,\"x\ny\"\n\r\n2,z\n\n"), lf);
    EXPECT_EQ(records("a,b\r\n1,\"x\r\ny\"\r\n")[0]["b"], "x\r\ny");
}

TEST_F(CsvOperations, ShortLongAndRepeatedColumns)
{
    EXPECT_EQ(records("a,b,c\n1\n1,2,3,4,5\n"), json::parse(R"([{"a": "1", "b": "", "c": ""}, {"a": "1", "b": "2", "c": "3"}])"));
    EXPECT_EQ(records("id,id,x\n1,2,3\n9\n"), json::parse(R"([{"id": "2", "x": "3"}, {"id": "", "x": ""}])"));
}

TEST_F(CsvOperations, TsvSplitsAtTabsWhateverTheExtensionsCase)
{
    for (const std::string name : {"t.tsv", "t.TSV", "t.Tsv"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(records("a\tb\n1,5\tx, y\n", name), json::parse(R"([{"a": "1,5", "b": "x, y"}])"));
    }
    EXPECT_EQ(records("a\tb\n1,5\tx\n", "t.csv"), json::parse(R"([{"a\tb": "1"}])"));
}

TEST_F(CsvOperations, HeaderOnlyGivesAnEmptyArray)
{
    EXPECT_EQ(convert("a,b\n").content, "[]");
}

TEST_F(CsvOperations, NoRowsIsNoTextContent)
{
    for (const std::string text : {"", "\n\r\n\n", "  \t", "\n\u3000"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(convert(text), ConversionError);
        EXPECT_TRUE(entriesIn(out()).empty());
    }
}

TEST_F(CsvOperations, BlankLastRowIsDroppedButALineOfSpacesIsARow)
{
    EXPECT_EQ(records("a\n1\n   "), json::parse(R"([{"a": "1"}])"));
    EXPECT_EQ(records("a\n1\n   \n"), json::parse(R"([{"a": "1"}, {"a": "   "}])"));
}

TEST_F(CsvOperations, ByteOrderMarkIsNotPartOfTheFirstHeader)
{
    EXPECT_EQ(records("\xEF\xBB\xBFname\nx\n"), json::parse(R"([{"name": "x"}])"));
}

TEST_F(CsvOperations, TextThatIsNotUtf8IsAnEncodingError)
{
    try {
        convert("a,b\n\xC3\x28,1\n");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("text encoding"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST(CsvText, RowsFields)
{
    struct Case {
        std::string row;
        std::vector<std::string> fields;
    };
    const std::vector<Case> cases = {
        {"", {""}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"a,b\",c", {"a,b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"ab\"c,d\"e,f", {"abc,de", "f"}},
        {"\"\"", {""}},
        {" a , b ", {" a ", " b "}},
        {"\"unclosed,x", {"unclosed,x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(data::parseCSVRow(c.row, ','), c.fields) << c.row;
}

TEST(CsvText, CellsThatNeedQuotes)
{
    EXPECT_EQ(data::escapeCSV("plain text"), "plain text");
    EXPECT_EQ(data::escapeCSV("a,b"), "\"a,b\"");
    EXPECT_EQ(data::escapeCSV("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(data::escapeCSV("a\nb"), "\"a\nb\"");
    EXPECT_EQ(data::escapeCSV("a\rb"), "\"a\rb\"");
    EXPECT_EQ(data::escapeCSV(""), "");
}
