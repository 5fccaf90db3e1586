#include "Converters/ConversionError.h"
#include "Converters/Data/DataFileProcessor.h"
#include "support/OutputFolder.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <random>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

class Base64Operations : public ::testing::Test {
protected:
    fs::path out() const
    {
        fs::create_directories(dir / "out");
        return dir / "out";
    }
    WrittenFile encode(const std::string& bytes)
    {
        DataFileProcessor::base64Encode(dir.write("in/photo.raw", bytes), out());
        return onlyFileIn(out());
    }
    WrittenFile decode(const std::string& text)
    {
        DataFileProcessor::base64Decode(dir.write("in/blob.txt", text), out());
        return onlyFileIn(out());
    }

    TempDir dir;
};

std::string randomBytes(std::size_t size)
{
    std::mt19937 generator(12345);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// Qt's encoder, broken into lines of 76 characters.
std::string referenceLines(const std::string& bytes)
{
    const std::string flat = QByteArray::fromStdString(bytes).toBase64().toStdString();
    std::string lines;
    for (std::size_t i = 0; i < flat.size(); i += 76)
        lines += (i ? "\n" : "") + flat.substr(i, 76);
    return lines;
}

} // namespace

TEST_F(Base64Operations, EncodingWrapsAfterEvery76Characters)
{
    for (const std::size_t size : {1u, 2u, 3u, 56u, 57u, 58u, 114u, 1000u}) {
        SCOPED_TRACE(size);
        const std::string bytes = randomBytes(size);
        const auto written = encode(bytes);
        EXPECT_EQ(written.content, referenceLines(bytes));
        EXPECT_NE(written.content.back(), '\n');
        EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("photo_base64_[0-9a-f]{8}\\.txt")));
        fs::remove(written.path);
    }
}

TEST_F(Base64Operations, EmptyFileEncodesToAnEmptyText)
{
    EXPECT_EQ(encode("").content, "");
}

TEST_F(Base64Operations, DecodedExtensionFollowsTheContent)
{
    struct Case {
        std::string text;
        std::string bytes;
        std::string extension;
    };
    const std::vector<Case> cases = {
        {"e30=", "{}", "json"},
        {"  W1sxXSwgMl0=\n", "[[1], 2]", "json"},
        {"aGVs\r\nbG8=", "hello", "txt"},
        {"NDI=", "42", "txt"},
        {"e30geA==", "{} x", "txt"},
        {"//79", "\xFF\xFE\xFD", "bin"},
        {"", "", "bin"},
        {" \n\t ", "", "bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto written = decode(c.text);
        EXPECT_EQ(written.content, c.bytes);
        EXPECT_TRUE(std::regex_match(written.path.filename().string(), std::regex("blob_decoded_[0-9a-f]{8}\\." + c.extension)))
            << written.path;
        fs::remove(written.path);
    }
}

TEST_F(Base64Operations, EncodeThenDecodeGivesTheSameBytes)
{
    const std::string bytes = randomBytes(5000);
    const auto encoded = encode(bytes);
    fs::remove_all(out());
    EXPECT_EQ(decode(encoded.content).content, bytes);
}

TEST_F(Base64Operations, BrokenBase64IsRefused)
{
    for (const std::string text : {"a", "aGVsbG8", "aGVsbG8==", "aGVsbG8=aGVs", "=", "QQ=", "Q==="}) {
        SCOPED_TRACE(text);
        try {
            decode(text);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::invalidDataStructure("Invalid Base64 content"));
        }
        EXPECT_TRUE(entriesIn(out()).empty());
    }
}
