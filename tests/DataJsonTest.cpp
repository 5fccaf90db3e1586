#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Data/SortedJsonFormatter.h"
#include "Converters/OutputFile.h"
#include "Platform/PlatformError.h"
#include "support/OutputFolder.h"

#include <clocale>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

const char* const malformedSentence = "The data couldn\u2019t be read because it isn\u2019t in the correct format.";

class JsonOperations : public ::testing::Test {
protected:
    fs::path out() const
    {
        fs::create_directories(dir / "out");
        return dir / "out";
    }
    WrittenFile format(const std::string& text)
    {
        DataFileProcessor::formatJSON(dir.write("in/data.json", text), out());
        return onlyFileIn(out());
    }
    WrittenFile minify(const std::string& text)
    {
        DataFileProcessor::minifyJSON(dir.write("in/data.json", text), out());
        return onlyFileIn(out());
    }

    TempDir dir;
};

// Switches LC_ALL for the test's duration; empty when the locale is not installed.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

} // namespace

TEST_F(JsonOperations, FormatSortsKeysIndentsByTwoAndKeepsSlashesPlain)
{
    const auto written = format(R"({"b":1,"a":{"d":[1,2.5,"x/y",true],"c":null},"e":[],"f":{},"é":"\u00e9\t"})");
    EXPECT_EQ(written.content, "{\n"
                               "  \"a\": {\n"
                               "    \"c\": null,\n"
                               "    \"d\": [\n"
                               "      1,\n"
                               "      2.5,\n"
                               "      \"x/y\",\n"
                               "      true\n"
                               "    ]\n"
                               "  },\n"
                               "  \"b\": 1,\n"
                               "  \"e\": [],\n"
                               "  \"f\": {},\n"
                               "  \"\u00e9\": \"\u00e9\\t\"\n"
                               "}");
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("data_formatted_[0-9a-f]{8}\\.json")))
        << written.path;
}

TEST_F(JsonOperations, FormatOfTopLevelArrayEqualsWholeDocumentWriter)
{
    for (const std::string text : {R"([1, {"b": 2, "a": [{}, {"z": [3, 4], "y": null}]}, "s/t", [], {}, null, [[1]], 0.1])", "[]",
                                   "[[]]", R"( {"k": [{"b": 1, "a": 2}]} )"}) {
        SCOPED_TRACE(text);
        const auto written = format(text);
        EXPECT_EQ(written.content, nlohmann::json::parse(text).dump(2));
        fs::remove(written.path);
    }
}

// A top-level object is written from where its members lie in the input; the limit 0
// takes that path down to every nested container.
TEST_F(JsonOperations, FormatOfObjectFromItsMemberIndexEqualsWholeDocumentWriter)
{
    const std::string texts[] = {
        R"({"b": 2, "a": [{}, {"z": [3, 4], "y": null}], "c": {"y": {"k": "v", "j": [[], {}]}, "x": -1.5e3}})",
        R"({"a": 1, "b": {"x": 1}, "a": {"n": 2}, "b": [3]})", // repeated keys: the last counts
        R"({"\u0062": 1, "a\"q": 2, "\u0061": 3, "a": 4, "a\\": {"\/": "\/\u00e9\u0001"}})",
        "\xEF\xBB\xBF \r\n{ \"k\" :\t[ 1 , 2.50 , 1e3 , 12345678901234567890123 , \"s\\\"t\" ] , \"e\" : { } }\n ",
        R"({"z": [[[{"b": [true, false], "a": "}]{["}]]], "y": "\\", "x": "[{"})",
        "{}",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::string expected = nlohmann::json::parse(text).dump(2);
        for (const std::size_t limit : {std::size_t{0}, std::size_t{8}, data::wholeJsonValueLimit}) {
            const fs::path path = dir / "indexed.json";
            {
                OutputFile written(path, OutputFile::Mode::direct);
                data::writeSortedPrettyJson(text, written, limit);
                written.commit();
            }
            EXPECT_EQ(readFile(path), expected) << "limit " << limit;
            fs::remove(path);
        }
    }
}

TEST_F(JsonOperations, DeeplyNestedObjectIsRefusedBeforeAnythingIsWritten)
{
    std::string deep;
    for (int i = 0; i < 2000; ++i)
        deep += "{\"a\":";
    deep += "1" + std::string(2000, '}');
    EXPECT_THROW(DataFileProcessor::formatJSON(dir.write("in/deep.json", deep), out()), PlatformError);
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(JsonOperations, MinifyKeepsKeyOrderAndNumberDigits)
{
    const auto written = minify("{ \"z\": 1,\n \"a\": [1, 2.50, 1e3, -0.0, 12345678901234567890123, -7],\r\n"
                                "  \"m\": {\"y\": \"a/b\", \"x\": \"tab\\there \\\"q\\\" \\u00e9 \\u0001 \\/\"} }");
    EXPECT_EQ(written.content, "{\"z\":1,\"a\":[1,2.50,1e3,-0.0,12345678901234567890123,-7],"
                               "\"m\":{\"y\":\"a/b\",\"x\":\"tab\\there \\\"q\\\" \u00e9 \\u0001 /\"}}");
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("data_min_[0-9a-f]{8}\\.json")));
}

// The format path writes the library's text for a negative zero, -0.0, which reads back
// as the same value; minify keeps the number's own text.
TEST_F(JsonOperations, NegativeZeroKeepsItsSign)
{
    struct Case {
        std::string input;
        std::string formatted;
        std::string minified;
    };
    const std::vector<Case> cases = {
        {"[-0, 0]", "[\n  -0.0,\n  0\n]", "[-0,0]"},
        {R"({"a": -0, "b": [-0]})", "{\n  \"a\": -0.0,\n  \"b\": [\n    -0.0\n  ]\n}", R"({"a":-0,"b":[-0]})"},
        {"[-0.0]", "[\n  -0.0\n]", "[-0.0]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const auto formatted = format(c.input);
        EXPECT_EQ(formatted.content, c.formatted);
        fs::remove(formatted.path);
        const auto minified = minify(c.input);
        EXPECT_EQ(minified.content, c.minified);
        fs::remove(minified.path);
        const auto again = format(c.formatted);
        EXPECT_EQ(again.content, c.formatted);
        fs::remove(again.path);
    }
}

TEST_F(JsonOperations, MalformedOrScalarDocumentsGiveOneReadableSentenceAndNoFile)
{
    for (const std::string text : {"{", "[1,]", "{\"a\" 1}", "42", "\"text\"", "null", "", "   ", "{} x", "[1] [2]", "\xFF"}) {
        for (const auto operation : {DataFileProcessor::formatJSON, DataFileProcessor::minifyJSON}) {
            SCOPED_TRACE(text);
            try {
                operation(dir.write("in/bad.json", text), out());
                ADD_FAILURE() << "no error";
            } catch (const PlatformError& error) {
                EXPECT_STREQ(error.what(), malformedSentence);
            }
            EXPECT_TRUE(entriesIn(out()).empty());
        }
    }
}

TEST_F(JsonOperations, DeepNestingIsRefusedWhenFormattingButMinifiesByStreaming)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_THROW(DataFileProcessor::formatJSON(dir.write("in/deep.json", deep), out()), PlatformError);
    EXPECT_TRUE(entriesIn(out()).empty());
    EXPECT_EQ(minify(deep).content, deep);
}

TEST_F(JsonOperations, UnreadableInputNamesTheFile)
{
    try {
        DataFileProcessor::formatJSON(dir / "missing.json", out());
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.json"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(entriesIn(out()).empty());
}

TEST_F(JsonOperations, MissingOutputFolderFailsWithASentence)
{
    EXPECT_THROW(DataFileProcessor::formatJSON(dir.write("in/a.json", "{}"), dir / "nowhere"), PlatformError);
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

TEST_F(JsonOperations, NumbersReadTheSameUnderACommaDecimalLocale)
{
    const ScopedLocale german("de_DE.UTF-8");
    if (!german.active())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(format(R"({"r": 0.5, "s": 1.25e2})").content, "{\n  \"r\": 0.5,\n  \"s\": 125.0\n}");
    fs::remove_all(out());
    EXPECT_EQ(minify(R"({"r": 0.5, "s": 1.25e2})").content, R"({"r":0.5,"s":1.25e2})");
}
