#include "Converters/ConversionError.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Data/JsonErrors.h"
#include "support/OutputFolder.h"
#include "support/PlistFixtures.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <plist/plist.h>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

class YamlAndPlist : public ::testing::Test {
protected:
    fs::path out() const
    {
        fs::create_directories(dir / "out");
        return dir / "out";
    }
    WrittenFile yaml(const std::string& text)
    {
        DataFileProcessor::yamlToJSON(dir.write("in/config.yaml", text), out());
        return onlyFileIn(out());
    }
    WrittenFile plist(const std::string& bytes)
    {
        DataFileProcessor::xmlToJSON(dir.write("in/settings.plist", bytes), out());
        return onlyFileIn(out());
    }
    void expectPlistRefused(const std::string& bytes)
    {
        try {
            plist(bytes);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::invalidDataStructure("XML structure not supported for JSON conversion"));
        }
        EXPECT_TRUE(entriesIn(out()).empty());
    }

    TempDir dir;
};

struct PlistFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Plist = std::unique_ptr<void, PlistFree>;

std::string binaryPlist(plist_t root)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string result(bytes, length);
    std::free(bytes);
    return result;
}

std::string xmlPlist(plist_t root)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &bytes, &length);
    std::string result(bytes, length);
    std::free(bytes);
    return result;
}

const char* const plistHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

} // namespace

TEST_F(YamlAndPlist, YamlValuesAreTyped)
{
    const json object = json::parse(yaml("port: 8080\n"
                                         "ratio: 0.5\n"
                                         "debug: true\n"
                                         "off: false\n"
                                         "name: \"quoted # text\"\n"
                                         "single: 'x'\n"
                                         "lonely: \"\n"
                                         "empty:\n"
                                         "tilde: ~\n"
                                         "nothing: null\n"
                                         "capital: True\n"
                                         "quotedNumber: \"1.0\"\n"
                                         "a: b: c\n"
                                         "# comment: skipped\n"
                                         "    nested: 1\n"
                                         "- item\n"
                                         "- k: v\n"
                                         "---\n"
                                         "big: 9223372036854775808\n"
                                         "negative: -42\n"
                                         "plus: +7\n"
                                         "hex: 0x10\n"
                                         "infinite: inf\n"
                                         "notANumber: NaN\n"
                                         "huge: 1e999\n"
                                         "trailing: x # kept\n"
                                         ": no key\n")
                                        .content);
    const json expected = {
        {"port", 8080},
        {"ratio", 0.5},
        {"debug", true},
        {"off", false},
        {"name", "quoted # text"},
        {"single", "x"},
        {"lonely", ""},
        {"empty", ""},
        {"tilde", nullptr},
        {"nothing", nullptr},
        {"capital", "True"},
        {"quotedNumber", "1.0"},
        {"a", "b: c"},
        {"nested", 1},
        {"- k", "v"},
        {"big", 9223372036854775808.0},
        {"negative", -42},
        {"plus", 7},
        {"hex", 16.0},
        {"infinite", "inf"},
        {"notANumber", "NaN"},
        {"huge", "1e999"},
        {"trailing", "x # kept"},
        {"", "no key"},
    };
    EXPECT_EQ(object, expected);
    EXPECT_TRUE(object["port"].is_number_integer());
    EXPECT_TRUE(object["ratio"].is_number_float());
    EXPECT_TRUE(object["big"].is_number_float());
}

TEST_F(YamlAndPlist, YamlOutputIsPrettySortedAndLaterKeysWin)
{
    const auto written = yaml("b: 1\r\na: x\r\n\u00A0c:\t2.5\u3000\u2028b: 2\n");
    EXPECT_EQ(written.content, "{\n  \"a\": \"x\",\n  \"b\": 2,\n  \"c\": 2.5\n}");
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("config_[0-9a-f]{8}\\.json")));
}

TEST_F(YamlAndPlist, YamlWithoutUsableLinesIsAnEmptyObject)
{
    EXPECT_EQ(yaml("# only a comment\n- item\n\n").content, "{}");
}

TEST_F(YamlAndPlist, YamlNumbersReadTheSameUnderACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const std::string content = yaml("ratio: 0.5\ncomma: 0,5\n").content;
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(json::parse(content), json({{"ratio", 0.5}, {"comma", "0,5"}}));
}

TEST_F(YamlAndPlist, XmlPropertyListBecomesSortedJson)
{
    const auto written = plist(std::string(plistHeader)
                               + "<dict>"
                                 "<key>name</key><string>A &amp; B/C</string>"
                                 "<key>count</key><integer>3</integer>"
                                 "<key>offset</key><integer>-5</integer>"
                                 "<key>max</key><integer>18446744073709551615</integer>"
                                 "<key>ratio</key><real>0.25</real>"
                                 "<key>on</key><true/>"
                                 "<key>list</key><array><string>x</string><dict/><array/></array>"
                                 "</dict></plist>");
    const json expected = {{"name", "A & B/C"},
                           {"count", 3},
                           {"offset", -5},
                           {"max", 18446744073709551615ULL},
                           {"ratio", 0.25},
                           {"on", true},
                           {"list", {"x", json::object(), json::array()}}};
    EXPECT_EQ(written.content, expected.dump(2));
    EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("settings_[0-9a-f]{8}\\.json")));
}

TEST_F(YamlAndPlist, BinaryPropertyListIsAccepted)
{
    const Plist root(plist_new_dict());
    plist_dict_set_item(root.get(), "title", plist_new_string("caf\u00e9"));
    plist_dict_set_item(root.get(), "size", plist_new_uint(42));
    plist_t items = plist_new_array();
    plist_array_append_item(items, plist_new_bool(0));
    plist_array_append_item(items, plist_new_real(1.5));
    plist_dict_set_item(root.get(), "items", items);
    const std::string bytes = binaryPlist(root.get());
    ASSERT_TRUE(bytes.starts_with("bplist00"));

    EXPECT_EQ(json::parse(plist(bytes).content), json({{"title", "caf\u00e9"}, {"size", 42}, {"items", {false, 1.5}}}));
}

TEST_F(YamlAndPlist, NegativeIntegerSurvivesTheBinaryForm)
{
    plist_t parsed = nullptr;
    const std::string xml = std::string(plistHeader) + "<array><integer>-7</integer></array></plist>";
    plist_from_xml(xml.data(), static_cast<uint32_t>(xml.size()), &parsed);
    const Plist root(parsed);
    ASSERT_TRUE(root);
    EXPECT_EQ(json::parse(plist(binaryPlist(root.get())).content), json::parse("[-7]"));
}

TEST_F(YamlAndPlist, ValuesJsonCannotHoldAreRefused)
{
    const Plist withDate(plist_new_dict());
    plist_dict_set_item(withDate.get(), "when", plist_new_date(0, 0));
    expectPlistRefused(xmlPlist(withDate.get()));
    expectPlistRefused(binaryPlist(withDate.get()));

    const Plist withData(plist_new_array());
    plist_array_append_item(withData.get(), plist_new_data("\x01\x02", 2));
    expectPlistRefused(binaryPlist(withData.get()));

    const Plist topString(plist_new_string("alone"));
    expectPlistRefused(xmlPlist(topString.get()));
}

// A binary list of one dictionary whose key is the UTF-16 string `key` (two units) and
// whose value is "v": the property-list library asserts on a key holding U+0000.
std::string binaryDictionaryWithUtf16Key(const std::string& key)
{
    const std::string objects = std::string("bplist00\xd1\x01\x02\x62", 12) + key + "\x51v";
    const std::string offsets("\x08\x0b\x10", 3);
    std::string trailer(32, '\0');
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    trailer[15] = 3; // objects
    trailer[31] = static_cast<char>(objects.size());
    return objects + offsets + trailer;
}

TEST_F(YamlAndPlist, DictionaryKeysTheLibraryCannotTakeAreRefusedWithoutEndingTheProcess)
{
    EXPECT_EQ(json::parse(plist(binaryDictionaryWithUtf16Key(std::string("\x00\xe9\x00\xe8", 4))).content),
              json({{"\u00e9\u00e8", "v"}}));
    std::filesystem::remove_all(out());
    expectPlistRefused(binaryDictionaryWithUtf16Key(std::string("\x00\xe9\x00\x00", 4)));

    // A key that is no string at all: the integer 7.
    std::string integerKey = binaryDictionaryWithUtf16Key(std::string("\x00\xe9\x00\xe8", 4));
    integerKey.replace(11, 5, std::string("\x10\x07\x00\x00\x00", 5));
    expectPlistRefused(integerKey);
}

TEST_F(YamlAndPlist, TextThatIsNoPropertyListIsRefused)
{
    expectPlistRefused("<root><a>1</a></root>");
    expectPlistRefused("{\"a\": 1}");
    expectPlistRefused("");
    expectPlistRefused("bplist00 truncated");
}

TEST_F(YamlAndPlist, DeeplyNestedPropertyListsAreRefusedWithoutCrashing)
{
    expectPlistRefused(nestedXmlArrays(200000));
    expectPlistRefused(nestedBinaryArrays(200000));
}

TEST_F(YamlAndPlist, PropertyListsNestedToTheLimitConvert)
{
    for (const std::string& bytes : {nestedXmlArrays(data::maxJsonDepth), nestedBinaryArrays(data::maxJsonDepth)}) {
        const json value = json::parse(plist(bytes).content);
        int depth = 1;
        for (const json* node = &value; !node->empty(); node = &node->front())
            ++depth;
        EXPECT_EQ(depth, data::maxJsonDepth);
        fs::remove_all(out());
    }
    expectPlistRefused(nestedXmlArrays(data::maxJsonDepth + 1));
    expectPlistRefused(nestedBinaryArrays(data::maxJsonDepth + 1));
}

TEST_F(YamlAndPlist, BinaryReferenceCyclesAndSharedContainersAreRefused)
{
    expectPlistRefused(binaryPlistBytes({containerMarker(0xA, 1) + '\x01', containerMarker(0xA, 1) + '\x00'}, 1));
    // Each array holds the next one twice: 2^60 arrays once every use is copied.
    std::vector<std::string> doubling;
    for (int level = 1; level < 60; ++level)
        doubling.push_back(containerMarker(0xA, 2) + static_cast<char>(level) + static_cast<char>(level));
    doubling.push_back(containerMarker(0xA, 0));
    expectPlistRefused(binaryPlistBytes(doubling, 1));
}
