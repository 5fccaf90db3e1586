#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/ConversionError.h"
#include "Platform/PlatformError.h"
#include "support/ArchiveFixtures.h"

#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

fs::path onlyZipIn(const fs::path& folder)
{
    const auto zips = zipsIn(folder);
    EXPECT_EQ(zips.size(), 1u);
    return zips.empty() ? fs::path() : zips.front();
}

bool namedLike(const fs::path& archive, const std::string& stem)
{
    const std::string name = archive.filename().string();
    return name.starts_with(stem + "_") && std::regex_match(name.substr(stem.size()), std::regex("_[0-9a-f]{8}\\.zip"));
}

} // namespace

TEST(ArchiveCompress, OneFileKeepsItsNameWhateverCharactersItHolds)
{
    for (const std::string name :
         {"plain.txt", "with space.txt", "brackets [1] {x}.txt", "-dash.txt", "star*?$;.txt", "--", "-r"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const auto file = dir.write("in/" + name, "content of " + name);
        ArchiveProcessor::compressToZip({file}, dir / "out");
        const auto archive = onlyZipIn(dir / "out");
        EXPECT_TRUE(namedLike(archive, fs::path(name).stem().string())) << archive;
        EXPECT_EQ(zipEntries(archive), std::vector<std::string>{name});
        EXPECT_EQ(unzipTestStatus(archive, ""), 0);
    }
}

TEST(ArchiveCompress, FolderEntersRecursivelyUnderItsOwnName)
{
    TempDir dir;
    dir.write("in/My Photos [2024]/b.txt", "b");
    dir.write("in/My Photos [2024]/sub/a.txt", "a");
    // A trailing slash names the same folder.
    ArchiveProcessor::compressToZip({(dir / "in/My Photos [2024]").string() + "/"}, dir / "out");
    const auto archive = onlyZipIn(dir / "out");
    EXPECT_TRUE(namedLike(archive, "My Photos [2024]")) << archive;
    EXPECT_EQ(zipEntries(archive), (std::vector<std::string>{"My Photos [2024]/", "My Photos [2024]/b.txt",
                                                             "My Photos [2024]/sub/", "My Photos [2024]/sub/a.txt"}));
}

TEST(ArchiveCompress, InputsFromDifferentFoldersSitSideBySide)
{
    TempDir dir;
    const auto first = dir.write("one/report.pdf", "r");
    const auto second = dir.write("two/-notes.txt", "n");
    dir.write("two/deep/x.txt", "x");
    ArchiveProcessor::compressToZip({first, second, dir / "two/deep"}, dir / "out");
    const auto archive = onlyZipIn(dir / "out");
    EXPECT_TRUE(namedLike(archive, "archive")) << archive;
    EXPECT_EQ(zipEntries(archive), (std::vector<std::string>{"-notes.txt", "deep/", "deep/x.txt", "report.pdf"}));
}

TEST(ArchiveCompress, RelativeOutputFolderStillReceivesTheArchive)
{
    TempDir dir;
    const auto file = dir.write("in/a.txt", "a");
    const auto saved = fs::current_path();
    fs::current_path(dir.path());
    ArchiveProcessor::compressToZip({file}, "out");
    fs::current_path(saved);
    EXPECT_EQ(zipsIn(dir / "out").size(), 1u);
}

TEST(ArchiveCompress, InputsOfOneNameFromTwoFoldersAreRefusedBeforeAnythingIsWritten)
{
    struct Case {
        std::string firstFile, secondFile, secondInput;
    };
    for (const auto& row :
         std::vector<Case>{{"a/same.txt", "b/same.txt", "b/same.txt"}, {"a/same", "b/same/inner.txt", "b/same"}}) {
        SCOPED_TRACE(row.secondInput);
        TempDir dir;
        dir.write(row.firstFile, "first");
        dir.write(row.secondFile, "second");
        try {
            ArchiveProcessor::compressToZip({dir / row.firstFile, dir / row.secondInput}, dir / "out");
            ADD_FAILURE() << "a clash of names was accepted";
        } catch (const PlatformError& error) {
            EXPECT_NE(std::string(error.what()).find("\u201Csame"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(zipsIn(dir / "out").empty());
    }
}

TEST(ArchiveCompress, SameInputTwiceIsNoClash)
{
    TempDir dir;
    const auto file = dir.write("in/a.txt", "a");
    ArchiveProcessor::compressToZip({file, file}, dir / "out");
    EXPECT_EQ(zipEntries(onlyZipIn(dir / "out")), std::vector<std::string>{"a.txt"});
}

TEST(ArchiveCompress, FailingInputStopsTheRunAndRemovesThePartialArchive)
{
    TempDir dir;
    ToolPathsOverride tools;
    const auto log = dir / "zip-runs.txt";
    tools->zip =
        executable(dir, "tools/zip", "printf '%s\\n' \"$@\" >> '" + log.string() + "'\nexec /usr/bin/zip \"$@\"").string();
    const auto first = dir.write("in/first.txt", "1");
    const auto third = dir.write("in/third.txt", "3");
    try {
        ArchiveProcessor::compressToZip({first, dir / "in/missing.txt", third}, dir / "out");
        ADD_FAILURE() << "a missing input was accepted";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error, ConversionError::exportFailed(dir / "in/missing.txt", "ZIP compression failed"));
    }
    EXPECT_TRUE(zipsIn(dir / "out").empty());
    const std::string runs = readFile(log);
    EXPECT_NE(runs.find("first.txt"), std::string::npos);
    EXPECT_EQ(runs.find("third.txt"), std::string::npos);
}

TEST(ArchiveCompress, ZipFailureRemovesTheArchive)
{
    TempDir dir;
    ToolPathsOverride tools;
    // Writes the archive, then reports failure.
    tools->zip = executable(dir, "tools/zip", "/usr/bin/zip \"$@\"; exit 15").string();
    const auto file = dir.write("in/a.txt", "a");
    EXPECT_THROW(ArchiveProcessor::compressToZip({file}, dir / "out"), ConversionError);
    EXPECT_TRUE(zipsIn(dir / "out").empty());
}

TEST(ArchiveCompress, ZipThatCannotStartIsAPlatformErrorWithAReadableSentence)
{
    TempDir dir;
    ToolPathsOverride tools;
    tools->zip = (dir / "nowhere/zip").string();
    const auto file = dir.write("in/a.txt", "a");
    try {
        ArchiveProcessor::compressToZip({file}, dir / "out");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_EQ(std::string(error.what()), "The archive tool \u201Czip\u201D could not be started: No such file or directory.");
    }
    EXPECT_TRUE(zipsIn(dir / "out").empty());
}

TEST(ArchiveCompress, NoInputRunsNothingAndWritesNothing)
{
    TempDir dir;
    ToolPathsOverride tools;
    tools->zip = tools->expect = tools->unzip = (dir / "nowhere").string();
    EXPECT_NO_THROW(ArchiveProcessor::compressToZip({}, dir / "out"));
    EXPECT_NO_THROW(ArchiveProcessor::compressToZipWithPassword({}, "pw", dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST(ArchiveCompress, LinksAreStoredNotFollowed)
{
    TempDir dir;
    dir.write("folder/file.txt", "content");
    fs::create_directory_symlink(".", dir / "folder" / "self");
    fs::create_directory_symlink("..", dir / "folder" / "up");
    fs::create_directory_symlink("/", dir / "folder" / "root");
    const auto started = std::chrono::steady_clock::now();
    ArchiveProcessor::compressToZip({dir / "folder"}, dir / "out");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    const auto archives = zipsIn(dir / "out");
    ASSERT_EQ(archives.size(), 1u);
    EXPECT_LT(fs::file_size(archives.front()), 4096u);
}

namespace {

// Each entry's name and kind: 'l' link, 'd' folder, 'f' file.
std::map<std::string, char> zipEntryKinds(const fs::path& archive)
{
    TempDir scratch;
    const auto listing = scratch / "kinds.txt";
    python("import zipfile, stat, sys\n"
           "def kind(i):\n"
           "    mode = i.external_attr >> 16\n"
           "    return 'l' if stat.S_ISLNK(mode) else 'd' if i.is_dir() else 'f'\n"
           "open(sys.argv[2], 'w').write(''.join(kind(i) + i.filename + '\\n' for i in zipfile.ZipFile(sys.argv[1]).infolist()))",
           {archive.string(), listing.string()});
    std::map<std::string, char> kinds;
    std::istringstream lines(readFile(listing));
    for (std::string line; std::getline(lines, line);)
        kinds[line.substr(1)] = line[0];
    return kinds;
}

} // namespace

TEST(ArchiveCompress, DroppedLinkIsFollowedAndTheLinksWithinStayLinks)
{
    TempDir dir;
    dir.write("real/a.txt", "a");
    dir.write("real/sub/b.txt", "b");
    fs::create_symlink("a.txt", dir / "real" / "inner");
    fs::create_directories(dir / "empty");
    fs::create_directories(dir / "in");
    fs::create_directory_symlink(dir / "real", dir / "in" / "linked");
    fs::create_directory_symlink(dir / "empty", dir / "in" / "-empty");
    fs::create_symlink(dir / "real" / "a.txt", dir / "in" / "file-link");

    struct Case {
        std::string dropped;
        std::map<std::string, char> expected;
    };
    const std::vector<Case> cases = {
        {"linked",
         {{"linked/", 'd'}, {"linked/a.txt", 'f'}, {"linked/inner", 'l'}, {"linked/sub/", 'd'}, {"linked/sub/b.txt", 'f'}}},
        {"-empty", {{"-empty/", 'd'}}},
        {"file-link", {{"file-link", 'f'}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dropped);
        fs::remove_all(dir / "out");
        ArchiveProcessor::compressToZip({dir / "in" / c.dropped}, dir / "out");
        EXPECT_EQ(zipEntryKinds(onlyZipIn(dir / "out")), c.expected);
        fs::remove_all(dir / "out");
        ArchiveProcessor::compressToZipWithPassword({dir / "in" / c.dropped}, "pw", dir / "out");
        EXPECT_EQ(zipEntryKinds(onlyZipIn(dir / "out")), c.expected);
    }
}

TEST(ArchiveCompress, DanglingDroppedLinkFailsNamingIt)
{
    TempDir dir;
    fs::create_directories(dir / "in");
    fs::create_symlink(dir / "gone.txt", dir / "in" / "stale");
    try {
        ArchiveProcessor::compressToZip({dir / "in" / "stale"}, dir / "out");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("\u201Cstale\u201D"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("does not exist"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(zipsIn(dir / "out").empty());
}
