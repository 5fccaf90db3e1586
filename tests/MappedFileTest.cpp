#include "Platform/MappedFile.h"
#include "Platform/PlatformError.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cstdio>
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

// Another program shortening a file while it is read must not end this one: the bytes past
// the new end read as zeros and the file is reported cut short, and only that file.
TEST(MappedFile, FileShortenedWhileReadReadsZerosAndSaysSo)
{
    TempDir dir;
    const std::size_t page = 4096;
    const std::string text(5 * page, 'x');
    const auto shortened = dir.write("shortened.json", text);
    const MappedFile file(shortened);
    const MappedFile untouched(dir.write("untouched.json", text));
    EXPECT_NO_THROW(file.throwIfCutShort());

    std::filesystem::resize_file(shortened, page + 10);
    const std::string_view bytes = file.bytes();
    ASSERT_EQ(bytes.size(), text.size());
    EXPECT_EQ(bytes.substr(0, page + 10), text.substr(0, page + 10));
    EXPECT_EQ(bytes.find_first_not_of('\0', page + 10), std::string_view::npos);
    try {
        file.throwIfCutShort();
        ADD_FAILURE() << "a shortened file was not reported";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("shortened.json"), std::string::npos) << error.what();
    }
    EXPECT_EQ(untouched.bytes(), text);
    EXPECT_NO_THROW(untouched.throwIfCutShort());
}

// Bus errors elsewhere (a mapping no MappedFile made) still end the process.
TEST(MappedFileDeathTest, BusErrorOutsideMappedFilesStillEndsTheProcess)
{
    TempDir dir;
    const auto path = dir.write("other.bin", std::string(3 * 4096, 'o'));
    const MappedFile watched(path);
    EXPECT_DEATH(
        {
            const int fd = ::open(path.c_str(), O_RDONLY);
            const auto* bytes = static_cast<const volatile char*>(::mmap(nullptr, 3 * 4096, PROT_READ, MAP_PRIVATE, fd, 0));
            std::filesystem::resize_file(path, 0);
            std::printf("%d\n", bytes[2 * 4096]);
        },
        "");
}
