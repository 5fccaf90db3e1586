#include "Converters/ConversionError.h"
#include "Converters/OutputNaming.h"

#include <gtest/gtest.h>
#include <regex>

using namespace vantory;

TEST(ConversionError, MessagesAndDiagnostics)
{
    struct Row {
        ConversionError error;
        std::string message;
        std::string diagnostic;
    };
    const std::vector<Row> rows = {
        {ConversionError::loadFailed("/tmp/a b.png"), "Could not open the file", "Failed to load: /tmp/a b.png"},
        {ConversionError::exportFailed("/out/x_locked_0a1b2c3d.pdf", "PDF write failed"), "Could not save the converted file",
         "Export failed (x_locked_0a1b2c3d.pdf): PDF write failed"},
        {ConversionError::unsupportedFormat("svg"), "This format is not supported", "Unsupported format: svg"},
        {ConversionError::requiresNewerOS("WebP conversion"), "WebP conversion requires a newer version of this system",
         "Requires newer OS: WebP conversion"},
        {ConversionError::invalidDataStructure("Invalid Base64 content"),
         "The file structure is not compatible with this conversion", "Invalid data structure: Invalid Base64 content"},
        {ConversionError::incorrectPassword(), "Incorrect password", "Password validation failed"},
        {ConversionError::alreadyOptimal(), "File is already as small as possible",
         "Compression produced a larger file than the original"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.error.errorDescription(), row.message);
        EXPECT_EQ(row.error.debugDescription(), row.diagnostic);
        EXPECT_STREQ(row.error.what(), row.message.c_str());
    }
}

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
    EXPECT_TRUE(std::regex_match(first.filename().string(), std::regex("Holiday Photo_nobg_[0-9a-f]{8}\\.png")))
        << first;
    EXPECT_NE(first, OutputNaming::uniqueURL("/out", "Holiday Photo_nobg", "png"));
}

TEST(OutputNaming, Normalize)
{
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"JPEG", "jpg"}, {"TIF", "tiff"}, {"Heif", "heic"}, {"PNG", "png"}, {"", ""}, {"jpg", "jpg"}};
    for (const auto& [in, out] : rows)
        EXPECT_EQ(OutputNaming::normalize(in), out) << in;
}
