#include "Converters/DispatchTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <stdexcept>

using namespace vantory;

namespace {

enum class Kind { file, wholeBatch };

DispatchTable tableWith(std::initializer_list<std::pair<std::string, Kind>> rows)
{
    DispatchTable table;
    for (const auto& [id, kind] : rows) {
        if (kind == Kind::file)
            table.fileOperations[id] = {Lane::serial, [](const FileJob&) {}};
        else
            table.wholeBatchOperations[id] = [](const WholeBatchJob&) {};
    }
    return table;
}

} // namespace

TEST(DispatchTable, JoinRefusesAnIdThatTwoProcessorsClaimAndAddsNothing)
{
    for (const auto& [first, second] : {std::pair{Kind::file, Kind::file},
                                        {Kind::wholeBatch, Kind::wholeBatch},
                                        {Kind::file, Kind::wholeBatch},
                                        {Kind::wholeBatch, Kind::file}}) {
        DispatchTable table = tableWith({{"merge_pdf", first}});
        EXPECT_THROW(table.join(tableWith({{"zzz_unclaimed", Kind::file}, {"merge_pdf", second}})), std::logic_error);
        EXPECT_FALSE(table.hasRow("zzz_unclaimed"));
    }
}

TEST(DispatchTable, JoinKeepsEveryRowOfBothTables)
{
    DispatchTable table = tableWith({{"format_json", Kind::file}});
    table.join(tableWith({{"compress_zip", Kind::file}, {"compress_zip", Kind::wholeBatch}, {"merge_pdfs", Kind::wholeBatch}}));
    EXPECT_EQ(table.fileOperations.size(), 2u);
    EXPECT_EQ(table.wholeBatchOperations.size(), 2u);
    EXPECT_TRUE(table.fileOperations.contains("format_json"));
    EXPECT_TRUE(table.fileOperations.contains("compress_zip"));
    EXPECT_TRUE(table.isWholeBatch("compress_zip"));
    EXPECT_TRUE(table.isWholeBatch("merge_pdfs"));
}

// Media work overlaps on the pool; everything else takes its turn on the serial lane.
TEST(DispatchTable, StandardRoutesEveryActionOnItsLane)
{
    std::map<std::string, Lane> expectedLanes;
    for (const char* id : {"format_json",  "minify_json",     "json_to_csv",   "csv_to_json",     "yaml_to_json",
                           "xml_to_json",  "base64_encode",   "base64_decode", "image_to_pdf",    "pdf_to_images",
                           "lock_pdf",     "unlock_pdf",      "extract_text",  "extract_archive", "unlock_extract_zip",
                           "compress_zip", "compress_zip_pw", "convert_image", "compress_image",  "remove_bg"})
        expectedLanes[id] = Lane::serial;
    for (const char* id : {"extract_audio", "compress_video", "convert_video", "convert_audio"})
        expectedLanes[id] = Lane::pooled;
    const std::set<std::string> expectedWholeBatch = {"merge_pdf", "merge_pdfs", "compress_zip", "compress_zip_pw"};

    const DispatchTable table = DispatchTable::standard();
    std::map<std::string, Lane> lanes;
    for (const auto& [id, row] : table.fileOperations)
        lanes[id] = row.lane;
    std::set<std::string> wholeBatch;
    for (const auto& row : table.wholeBatchOperations)
        wholeBatch.insert(row.first);
    EXPECT_EQ(lanes, expectedLanes);
    EXPECT_EQ(wholeBatch, expectedWholeBatch);
}
