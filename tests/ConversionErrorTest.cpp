#include "Converters/ConversionError.h"

#include <gtest/gtest.h>

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
        {ConversionError::pictureTooLarge("/in/pano.png", 40000, 20000, "at most 45 megapixels"),
         "This picture is too large to process (40000 \u00D7 20000 pixels; at most 45 megapixels)",
         "Picture too large: /in/pano.png (40000 \u00D7 20000 pixels; at most 45 megapixels)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.error.errorDescription(), row.message);
        EXPECT_EQ(row.error.debugDescription(), row.diagnostic);
        EXPECT_STREQ(row.error.what(), row.message.c_str());
    }
}
