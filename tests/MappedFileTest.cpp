#include "Platform/MappedFile.h"
#include "Platform/PlatformError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

using namespace vantory;
using namespace vantory::test;

TEST(MappedFile, HoldsTheWholeFile)
{
    TempDir dir;
    std::string content(3 * 4096 + 17, 'a');
    content += std::string("\0\xFF z", 4);
    for (const std::string& text : {content, std::string()}) {
        const MappedFile file(dir.write("in.bin", text));
        EXPECT_EQ(file.bytes(), text);
    }
}

TEST(MappedFile, FolderOrMissingFileIsAnErrorNamingIt)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "Folder");
    for (const std::string name : {"Folder", "missing.json"}) {
        try {
            const MappedFile file(dir / name);
            ADD_FAILURE() << name << " opened";
        } catch (const PlatformError& error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
    }
}

// A pipe cannot be mapped: it is read to its end instead.
TEST(MappedFile, PipeIsReadWhole)
{
    TempDir dir;
    const auto fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string text(200000, 'p');
    std::jthread writer([&] { std::ofstream(fifo, std::ios::binary) << text; });
    const MappedFile file(fifo);
    EXPECT_EQ(file.bytes(), text);
}
