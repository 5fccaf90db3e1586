#include "Converters/OutputFile.h"
#include "Platform/PlatformError.h"
#include "Platform/Utf8Text.h"
#include "support/OutputFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vantory;
namespace fs = std::filesystem;

namespace {

enum class Writer { bufferedCalls, library };

struct OutputFileCase {
    const char* name;
    OutputFile::Mode mode;
    Writer writer;
    bool committed;
};

void PrintTo(const OutputFileCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// Longer than the buffer, so the bytes reach the file both through it and past it.
std::string payload()
{
    std::string bytes(OutputFile::bufferSize + OutputFile::bufferSize / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

void write(OutputFile& file, Writer writer, const std::string& bytes)
{
    if (writer == Writer::library) {
        std::ofstream(file.pathForLibrary(), std::ios::binary) << bytes;
        return;
    }
    const std::string_view view(bytes);
    const std::size_t half = view.size() / 2;
    for (const char byte : view.substr(0, half))
        file.push_back(byte);
    file.append(view.substr(half, 10));
    file.append(view.substr(half + 10));
}

class OutputFileCases : public ::testing::TestWithParam<OutputFileCase> { };

} // namespace

TEST_P(OutputFileCases, LeavesTheFileOnlyWhenCommitted)
{
    test::TempDir dir;
    const fs::path finalPath = dir / "out.txt";
    const std::string bytes = payload();
    {
        OutputFile file(finalPath, GetParam().mode);
        write(file, GetParam().writer, bytes);
        if (GetParam().committed)
            file.commit();
    }
    if (!GetParam().committed) {
        EXPECT_TRUE(test::entriesIn(dir.path()).empty());
        return;
    }
    const test::WrittenFile written = test::onlyFileIn(dir.path());
    EXPECT_EQ(written.path, finalPath);
    EXPECT_TRUE(written.content == bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, OutputFileCases,
    ::testing::Values(OutputFileCase{"DirectCommitted", OutputFile::Mode::direct, Writer::bufferedCalls, true},
                      OutputFileCase{"DirectAbandoned", OutputFile::Mode::direct, Writer::bufferedCalls, false},
                      OutputFileCase{"AtomicCommitted", OutputFile::Mode::atomic, Writer::bufferedCalls, true},
                      OutputFileCase{"AtomicAbandoned", OutputFile::Mode::atomic, Writer::bufferedCalls, false},
                      OutputFileCase{"LibraryCommitted", OutputFile::Mode::atomic, Writer::library, true},
                      OutputFileCase{"LibraryAbandoned", OutputFile::Mode::atomic, Writer::library, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputFile, DirectRefusesAnExistingFile)
{
    test::TempDir dir;
    const fs::path existing = dir.write("out.txt", "kept");
    EXPECT_THROW(OutputFile(existing, OutputFile::Mode::direct), PlatformError);
    EXPECT_EQ(test::readFile(existing), "kept");
    EXPECT_EQ(test::entriesIn(dir.path()).size(), 1u);
}

TEST(OutputFile, AtomicReplacesNothingUntilCommit)
{
    test::TempDir dir;
    const fs::path existing = dir.write("out.txt", "old");
    OutputFile file(existing, OutputFile::Mode::atomic);
    file.append(payload());
    EXPECT_EQ(test::readFile(existing), "old");
    file.commit();
    EXPECT_TRUE(test::readFile(existing) == payload());
}

TEST(OutputFile, FailedCommitLeavesNothingBehind)
{
    test::TempDir dir;
    const fs::path folderInTheWay = dir / "out.txt";
    fs::create_directories(folderInTheWay / "inside");
    {
        OutputFile file(folderInTheWay, OutputFile::Mode::atomic);
        file.append("text");
        EXPECT_THROW(file.commit(), PlatformError);
    }
    EXPECT_EQ(test::entriesIn(dir.path()), std::vector<fs::path>{folderInTheWay});
}

// The hidden name an atomic file is written under must fit wherever the final name fits,
// up to the longest name the file system takes (255 bytes here).
TEST(OutputFile, AtomicWriteWorksForEveryNameThatFits)
{
    const std::string twoByte = "\u00e9"; // é
    // An output name is the stem, "_", eight hex digits and the extension: 13 bytes more
    // than the stem for ".png". Up to 241 bytes the hidden name has room for the whole final name.
    const std::vector<std::string> names = {
        std::string(228, 's') + "_0123abcd.png",
        std::string(229, 's') + "_0123abcd.png",
        std::string(242, 's') + "_0123abcd.png",
        std::string(255, 's'),
        // The shortened part must not end inside a character.
        std::string(240, 's') + twoByte + twoByte + twoByte + twoByte + twoByte + "x.txt",
        "a.c",
    };
    for (const Writer writer : {Writer::bufferedCalls, Writer::library}) {
        for (const auto& name : names) {
            SCOPED_TRACE(std::to_string(name.size()) + " bytes");
            test::TempDir dir;
            OutputFile file(dir / name, OutputFile::Mode::atomic);
            const std::string bytes(40, 'b');
            write(file, writer, bytes);
            if (writer == Writer::library) {
                EXPECT_TRUE(isValidUTF8(file.pathForLibrary().filename().string()));
            }
            ASSERT_NO_THROW(file.commit());
            EXPECT_EQ(test::onlyFileIn(dir.path()).path, dir / name);
            EXPECT_EQ(test::readFile(dir / name), bytes);
        }
    }
}
