#include "Converters/Data/BinaryPropertyListNesting.h"
#include "Converters/Data/XmlPropertyListNesting.h"
#include "support/PlistFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <plist/plist.h>
#include <string>

using namespace vantory::data;
using namespace vantory::test;

namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Plist = std::unique_ptr<void, PlistFree>;

Plist parsed(const std::string& bytes)
{
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    return Plist(root);
}

// Container nesting of a small tree built by the library.
int depthOf(plist_t node)
{
    int deepest = 0;
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        for (uint32_t i = 0; i < plist_array_get_size(node); ++i)
            deepest = std::max(deepest, depthOf(plist_array_get_item(node, i)));
        return deepest + 1;
    case PLIST_DICT: {
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            std::free(key);
            if (!value)
                break;
            deepest = std::max(deepest, depthOf(value));
        }
        std::free(iterator);
        return deepest + 1;
    }
    default: return 0;
    }
}

struct XmlCase {
    const char* body; // inside <plist>…</plist>
    bool within; // nesting at most 2
};

const XmlCase xmlCases[] = {
    {"<array><array></array></array>", true},
    {"<array><array><array></array></array></array>", false},
    {"<dict><key>a</key><dict><key>b</key><array/></dict></dict>", false},
    {"<array><array/><array /><array\t/><dict x=\"1\"/></array>", true},
    {"<array><array></array><array></array><array></array></array>", true},
    {"<array><array></array/><array/></array>", true},
    {"<array ><array\n></array\n></array >", true},
    // What looks like tags is no tag in comments, CDATA, quoted attributes and declarations.
    {"<array><!-- <array><array> --><array></array></array>", true},
    {"<array><string><![CDATA[<array><array>]]></string><array/></array>", true},
    {"<array a=\"x><array>\"><array></array></array>", true},
    {"<array><?pi \"?><array>\" ?><array></array></array>", true},
    // Nor do closing tags there hide a level the library still builds.
    {"<array><!-- </array> --><array><!-- </array> --><array></array></array></array>", false},
    {"<array><string>x<!-- </array> -->y</string><array><array/></array></array>", false},
    {"<array><array></array a=\"</array>\"><array><array/></array></array>", false},
    {"<array><string><![CDATA[</array>]]></string><array><array/></array></array>", false},
    {"<array><?pi \"?></array>\" ?><array><array/></array></array>", false},
    // Unknown declarations and names close to a container's are refused outright.
    {"<array><!doctype x></array>", false},
    {"<array><arrays></arrays></array>", false},
    {"<array><dict2/></array>", false},
    {"<array><array <array></array></array>", false},
    {"<array><!-- unterminated </array></array>", false},
};

} // namespace

TEST(XmlPropertyListNesting, CountsOnlyTheContainersTheLibraryBuilds)
{
    for (const auto& testCase : xmlCases) {
        const std::string text = std::string(xmlPlistHeader) + testCase.body + "</plist>";
        SCOPED_TRACE(testCase.body);
        const bool within = xmlPropertyListNestsWithin(text, 2);
        EXPECT_EQ(within, testCase.within);
        // Whatever passes must parse no deeper than the limit.
        if (const Plist root = parsed(text); root && within) {
            EXPECT_LE(depthOf(root.get()), 2);
        }
    }
}

TEST(XmlPropertyListNesting, DocumentTypeDeclarationsAreSkippedLikeTheLibraryDoes)
{
    const char* const declarations[] = {
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">",
        "<!DOCTYPE x \"a><array><array>\">",
        "<!DOCTYPE x [ <!ENTITY a \"]><array><array>\"> ]>",
    };
    for (const char* declaration : declarations) {
        SCOPED_TRACE(declaration);
        const std::string shallow = std::string(declaration) + "<plist><array><array/></array></plist>";
        EXPECT_TRUE(xmlPropertyListNestsWithin(shallow, 2));
        EXPECT_TRUE(parsed(shallow));
        const std::string deep = std::string(declaration) + "<plist><array><array><array/></array></array></plist>";
        EXPECT_FALSE(xmlPropertyListNestsWithin(deep, 2));
    }
    // A closing tag inside the internal subset does not hide a level.
    const std::string hiding = "<plist><array><!DOCTYPE x [ <!ENTITY a \"</array>\"> ]><array><array/></array></array></plist>";
    EXPECT_FALSE(xmlPropertyListNestsWithin(hiding, 2));
}

TEST(XmlPropertyListNesting, StopsAtTheFirstLevelTooDeep)
{
    EXPECT_TRUE(xmlPropertyListNestsWithin(nestedXmlArrays(1000), 1000));
    EXPECT_FALSE(xmlPropertyListNestsWithin(nestedXmlArrays(1001), 1000));
    // Unclosed levels count as well.
    EXPECT_FALSE(xmlPropertyListNestsWithin(std::string(xmlPlistHeader) + repeated("<dict>", 1001), 1000));
}

TEST(BinaryPropertyListNesting, FollowsReferencesThroughArraysSetsAndDictionaries)
{
    const std::string set = containerMarker(0xC, 2) + '\x01' + '\x02';
    const std::string innerArray = containerMarker(0xA, 1) + '\x03';
    const std::string emptyArray = containerMarker(0xA, 0);
    const std::string key = "\x51k";
    const std::string integer = "\x10\x05";
    struct Case {
        const char* name;
        std::vector<std::string> objects;
        int depth;
    } const cases[] = {
        {"set > array > array", {set, integer, innerArray, emptyArray}, 3},
        {"dictionary > array > array", {containerMarker(0xD, 1) + '\x01' + '\x02', key, innerArray, emptyArray}, 3},
        {"dictionary > array", {containerMarker(0xD, 1) + '\x01' + '\x02', key, emptyArray}, 2},
        {"one array", {containerMarker(0xA, 2) + '\x01' + '\x01', integer}, 1},
        {"scalar", {integer}, 0},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const std::string bytes = binaryPlistBytes(testCase.objects, 1);
        const Plist root = parsed(bytes);
        ASSERT_TRUE(root);
        EXPECT_EQ(depthOf(root.get()), testCase.depth);
        EXPECT_TRUE(binaryPropertyListNestsWithin(bytes, std::max(testCase.depth, 1)));
        if (testCase.depth > 1) {
            EXPECT_FALSE(binaryPropertyListNestsWithin(bytes, testCase.depth - 1));
        }
    }
}

TEST(BinaryPropertyListNesting, LongCountsFollowTheMarker)
{
    // Twenty references, the last one to a nested array.
    std::string outer = containerMarker(0xA, 20);
    for (int i = 0; i < 19; ++i)
        outer += '\x01';
    outer += '\x02';
    const std::string bytes = binaryPlistBytes({outer, "\x10\x05", containerMarker(0xA, 0)}, 1);
    ASSERT_TRUE(parsed(bytes));
    EXPECT_TRUE(binaryPropertyListNestsWithin(bytes, 2));
    EXPECT_FALSE(binaryPropertyListNestsWithin(bytes, 1));
}

TEST(BinaryPropertyListNesting, ListsWrittenByTheLibraryPass)
{
    const Plist root(plist_new_dict());
    plist_t items = plist_new_array();
    for (int i = 0; i < 40; ++i) {
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "name", plist_new_string("same"));
        plist_array_append_item(items, entry);
    }
    plist_dict_set_item(root.get(), "items", items);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root.get(), &bytes, &length);
    const std::string written(bytes, length);
    std::free(bytes);
    EXPECT_TRUE(binaryPropertyListNestsWithin(written, 3));
    EXPECT_FALSE(binaryPropertyListNestsWithin(written, 2));
}

TEST(BinaryPropertyListNesting, CyclesAndSharedContainersAreRefused)
{
    const std::string cycle = binaryPlistBytes({containerMarker(0xA, 1) + '\x01', containerMarker(0xA, 1) + '\x00'}, 1);
    EXPECT_FALSE(binaryPropertyListNestsWithin(cycle, 1000));

    // Each array holds the next one twice: 2^60 objects once expanded.
    std::vector<std::string> doubling;
    for (int level = 1; level < 60; ++level)
        doubling.push_back(containerMarker(0xA, 2) + static_cast<char>(level) + static_cast<char>(level));
    doubling.push_back(containerMarker(0xA, 0));
    EXPECT_FALSE(binaryPropertyListNestsWithin(binaryPlistBytes(doubling, 1), 1000));
}

TEST(BinaryPropertyListNesting, OffsetsAndCountsOutsideTheFileAreRefused)
{
    const std::string valid = binaryPlistBytes({containerMarker(0xA, 1) + '\x01', containerMarker(0xA, 0)}, 1);
    ASSERT_TRUE(binaryPropertyListNestsWithin(valid, 2));
    const auto patched = [&](std::size_t fromEnd, uint64_t value, unsigned width) {
        std::string bytes = valid;
        bytes.replace(bytes.size() - fromEnd, width, bigEndianBytes(value, width));
        return bytes;
    };
    const uint64_t huge = ~uint64_t{0};
    struct Case {
        const char* name;
        std::string bytes;
    } const cases[] = {
        {"offset size 0", patched(trailerOffsetSizeAt, 0, 1)},
        {"offset size 9", patched(trailerOffsetSizeAt, 9, 1)},
        {"reference size 0", patched(trailerReferenceSizeAt, 0, 1)},
        {"no objects", patched(trailerObjectCountAt, 0, 8)},
        {"more objects than offsets", patched(trailerObjectCountAt, 3, 8)},
        {"object count overflowing", patched(trailerObjectCountAt, huge / 2, 8)},
        {"top object past the end", patched(trailerTopObjectAt, 2, 8)},
        {"offset table in the trailer", patched(trailerOffsetTableAt, valid.size() - 20, 8)},
        {"offset table past the end", patched(trailerOffsetTableAt, huge, 8)},
        {"offset table in the header", patched(trailerOffsetTableAt, 2, 8)},
        {"object offset in the trailer", binaryPlistBytes({containerMarker(0xA, 0)}, 1).replace(9, 4, bigEndianBytes(40, 4))},
        {"object offset past the end", binaryPlistBytes({containerMarker(0xA, 0)}, 1).replace(9, 4, bigEndianBytes(huge, 4))},
        {"reference past the objects", binaryPlistBytes({containerMarker(0xA, 1) + '\x07', "\x10\x01"}, 1)},
        {"count past the end", binaryPlistBytes({containerMarker(0xA, 14) + '\x01', "\x10\x01"}, 1)},
        {"huge long count", binaryPlistBytes({containerMarker(0xA, huge / 2), "\x10\x01"}, 1)},
        {"long count of 16 bytes", binaryPlistBytes({std::string("\xAF\x14") + std::string(16, '\x01'), "\x10\x01"}, 1)},
        {"long count that is no integer", binaryPlistBytes({std::string("\xAF\x51\x01") + '\x01', "\x10\x01"}, 1)},
        {"long count cut off", binaryPlistBytes({"\xAF\x13"}, 1)},
        {"shorter than a trailer", std::string("bplist00") + std::string(20, '\0')},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_FALSE(binaryPropertyListNestsWithin(testCase.bytes, 1000));
    }
}

TEST(BinaryPropertyListNesting, StopsAtTheFirstLevelTooDeep)
{
    EXPECT_TRUE(binaryPropertyListNestsWithin(nestedBinaryArrays(1000), 1000));
    EXPECT_FALSE(binaryPropertyListNestsWithin(nestedBinaryArrays(1001), 1000));
}
