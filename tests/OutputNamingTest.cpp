#include "Converters/OutputNaming.h"

#include <gtest/gtest.h>
#include <regex>

using namespace vantory;

TEST(OutputNaming, Stem)
{
    EXPECT_EQ(OutputNaming::stem("/x/archive.tar.gz"), "archive.tar");
    EXPECT_EQ(OutputNaming::stem("/x/readme"), "readme");
    EXPECT_EQ(OutputNaming::stem("/x/Holiday Photo.JPEG"), "Holiday Photo");
    EXPECT_EQ(OutputNaming::stem("/x/Photos/"), "Photos");
    EXPECT_EQ(OutputNaming::stem("/x/Backup.zip/"), "Backup");
}

TEST(OutputNaming, UniqueURLPattern)
{
    const auto first = OutputNaming::uniqueURL("/out", "Holiday Photo_nobg", "png");
    EXPECT_EQ(first.parent_path(), "/out");
    EXPECT_TRUE(std::regex_match(first.filename().string(), std::regex("Holiday Photo_nobg_[0-9a-f]{8}\\.png"))) << first;
    EXPECT_NE(first, OutputNaming::uniqueURL("/out", "Holiday Photo_nobg", "png"));
}

TEST(OutputNaming, Normalize)
{
    const std::vector<std::pair<std::string, std::string>> rows = {{"JPEG", "jpg"}, {"TIF", "tiff"}, {"Heif", "heic"},
                                                                   {"PNG", "png"},  {"", ""},        {"jpg", "jpg"}};
    for (const auto& [in, out] : rows)
        EXPECT_EQ(OutputNaming::normalize(in), out) << in;
}
