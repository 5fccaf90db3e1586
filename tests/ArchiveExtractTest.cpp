#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/ConversionError.h"
#include "Platform/PlatformError.h"
#include "support/ArchiveFixtures.h"
#include "support/FreeSpaceOverride.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <unistd.h>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

const std::string twoEntries = "    z.writestr('top.txt', 'top')\n"
                               "    z.writestr('folder/inner.txt', 'inner')\n";
const std::string twoTarEntries = "    add(t, 'top.txt', b'top')\n"
                                  "    add(t, 'folder/inner.txt', b'inner')\n";

void expectTwoEntriesIn(const fs::path& out)
{
    EXPECT_EQ(readFile(out / "top.txt"), "top");
    EXPECT_EQ(readFile(out / "folder/inner.txt"), "inner");
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"folder", "folder/inner.txt", "top.txt"}));
}

// Every link left in the output folder resolves inside it.
void expectNoLinkLeadsOutOf(const fs::path& out)
{
    const auto root = fs::canonical(out);
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        if (!entry.is_symlink())
            continue;
        const auto target = fs::weakly_canonical(entry.path().parent_path() / fs::read_symlink(entry.path()));
        const auto relative = target.lexically_relative(root);
        EXPECT_FALSE(relative.empty() || *relative.begin() == "..") << entry.path() << " -> " << target;
    }
}

} // namespace

TEST(ArchiveExtract, EachKindReachesTheOutputFolder)
{
    struct Case {
        std::string name;
        std::string tarMode; // empty: a ZIP archive
    };
    const std::vector<Case> cases = {
        {"plain.zip", ""},
        {"CAPITALS.ZIP", ""},
        {"odd [1] *?.zip", ""},
        {"-dash.zip", ""},
        {"plain.tar", "w"},
        {"zipped.tar.gz", "w:gz"},
        {"short.tgz", "w:gz"},
        {"squeezed.tar.bz2", "w:bz2"},
        {"named like a host:1.tar", "w"},
        {"no extension", "w"},
    };
    for (const auto& [name, tarMode] : cases) {
        SCOPED_TRACE(name);
        TempDir dir;
        const auto archive = dir / ("in/" + name);
        fs::create_directories(archive.parent_path());
        if (tarMode.empty())
            zipWithPython(archive, twoEntries);
        else
            tarWithPython(archive, tarMode, twoTarEntries);
        ArchiveProcessor::extractArchive(archive, dir / "out folder [x]");
        expectTwoEntriesIn(dir / "out folder [x]");
    }
}

TEST(ArchiveExtract, BracketsInTheArchiveNameNeverOpenAnotherArchive)
{
    // unzip reads the archive's name as a pattern: "a[1].zip" also matches "a1.zip".
    TempDir temporary;
    const char* const savedTemporary = std::getenv("TMPDIR");
    setenv("TMPDIR", temporary.path().c_str(), 1);
    for (const std::string name : {"a[1].zip", "a*.zip", "a?.zip", "a\\1.zip"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        zipWithPython(dir / "in/a1.zip", "    z.writestr('wrong.txt', 'wrong')\n");
        zipWithPython(dir / ("in/" + name), twoEntries);
        ArchiveProcessor::extractZipArchive(dir / ("in/" + name), dir / "out");
        expectTwoEntriesIn(dir / "out");
        EXPECT_TRUE(ArchiveProcessor::testPassword(dir / ("in/" + name), "unused"));
    }
    const std::string saved = savedTemporary ? savedTemporary : "";
    savedTemporary ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    // The plain-named links handed to unzip are gone; only the app's own folder is left.
    const auto appFolder = temporary / ("vantory-" + std::to_string(getuid()));
    EXPECT_TRUE(fs::is_empty(appFolder));
    EXPECT_EQ(std::distance(fs::directory_iterator(temporary.path()), fs::directory_iterator()), 1);
}

namespace {

// What a folder holds, each file as "name=content" and each link as "name->target", the
// unique part of a name ("_" and eight hex digits) written "_*".
std::vector<std::string> described(const fs::path& folder)
{
    static const std::regex uniquePart("_[0-9a-f]{8}");
    std::vector<std::string> items;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = std::regex_replace(entry.path().lexically_relative(folder).string(), uniquePart, "_*");
        if (entry.is_symlink())
            items.push_back(name + "->" + fs::read_symlink(entry.path()).string());
        else if (entry.is_regular_file())
            items.push_back(name + "=" + readFile(entry.path()));
    }
    std::sort(items.begin(), items.end());
    return items;
}

} // namespace

// Archives of one run extract into one folder: an entry whose name is taken comes in
// beside its namesake under a unique name, folders of one name are merged, and nothing
// extracted before is replaced.
TEST(ArchiveExtract, NamesakesFromSeveralArchivesAreAllKept)
{
    struct Case {
        std::string label;
        std::string first; // zipfile statements of the first archive
        std::string second;
        std::vector<std::string> expected;
    };
    const std::string longName(251, 'n');
    const std::vector<Case> cases = {
        {"same photo", "    z.writestr('IMG_0001.jpg', '2023')\n", "    z.writestr('IMG_0001.jpg', '2024')\n",
         {"IMG_0001.jpg=2023", "IMG_0001_*.jpg=2024"}},
        {"same photo in one folder", "    z.writestr('photos/IMG_0001.jpg', '2023')\n    z.writestr('photos/a.jpg', 'a')\n",
         "    z.writestr('photos/IMG_0001.jpg', '2024')\n    z.writestr('photos/b.jpg', 'b')\n",
         {"photos/IMG_0001.jpg=2023", "photos/IMG_0001_*.jpg=2024", "photos/a.jpg=a", "photos/b.jpg=b"}},
        {"name without extension", "    z.writestr('README', 'one')\n", "    z.writestr('README', 'two')\n",
         {"README=one", "README_*=two"}},
        {"a file, then a folder", "    z.writestr('notes', 'file')\n", "    z.writestr('notes/inner.txt', 'inner')\n",
         {"notes=file", "notes_*/inner.txt=inner"}},
        {"a folder, then a file", "    z.writestr('notes/inner.txt', 'inner')\n", "    z.writestr('notes', 'file')\n",
         {"notes/inner.txt=inner", "notes_*=file"}},
        {"a file, then a link", "    z.writestr('top.txt', 'top')\n",
         "    link(z, 'top.txt', 'other.txt')\n    z.writestr('other.txt', 'o')\n",
         {"other.txt=o", "top.txt=top", "top_*.txt->other.txt"}},
        {"a name as long as names go", "    z.writestr('" + longName + ".jpg', '1')\n",
         "    z.writestr('" + longName + ".jpg', '2')\n",
         {longName + ".jpg=1", std::string(242, 'n') + "_*.jpg=2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        zipWithPython(dir / "in/photos2023.zip", c.first);
        zipWithPython(dir / "in/photos2024.zip", c.second);
        ArchiveProcessor::extractArchive(dir / "in/photos2023.zip", dir / "out");
        ArchiveProcessor::extractArchive(dir / "in/photos2024.zip", dir / "out");
        auto expected = c.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(described(dir / "out"), expected);
    }
}

// What stands in the output folder stays as it was; a link there is never followed.
TEST(ArchiveExtract, WhatStandsInTheOutputFolderStaysAndLinksThereAreNeverFollowed)
{
    TempDir dir;
    const auto outsideFile = dir.write("elsewhere/victim.txt", "untouched");
    fs::create_directories(dir / "elsewhere/folder");
    dir.write("out/top.txt", "old");
    fs::create_symlink(outsideFile, dir / "out/linked.txt");
    fs::create_symlink(dir / "elsewhere/folder", dir / "out/folder");
    zipWithPython(dir / "in/a.zip", twoEntries + "    z.writestr('linked.txt', 'new')\n");

    ArchiveProcessor::extractArchive(dir / "in/a.zip", dir / "out");

    EXPECT_EQ(described(dir / "out"),
              (std::vector<std::string>{"folder->" + (dir / "elsewhere/folder").string(), "folder_*/inner.txt=inner",
                                        "linked.txt->" + outsideFile.string(), "linked_*.txt=new", "top.txt=old",
                                        "top_*.txt=top"}));
    EXPECT_EQ(readFile(outsideFile), "untouched");
    EXPECT_TRUE(fs::is_empty(dir / "elsewhere/folder"));
}

TEST(ArchiveExtract, NothingIsEverWrittenOutsideTheOutputFolder)
{
    enum class Outcome {
        refused, // before extracting, naming `entry`
        extracted, // what is left: `entry`, names separated by commas
        failed,
    };
    struct Case {
        std::string label;
        bool zip;
        std::string body;
        Outcome outcome;
        std::string entry;
    };
    // @ stands for the folder beside the output folder that must stay empty.
    const std::vector<Case> cases = {
        {"zip ../ entry", true, "    z.writestr('ok.txt', 'ok')\n    z.writestr('../../evil.txt', 'x')\n", Outcome::refused,
         "../../evil.txt"},
        {"zip absolute entry", true, "    z.writestr('@/evil.txt', 'x')\n", Outcome::refused, "@/evil.txt"},
        {"zip link out, then through it", true, "    link(z, 'link', '@')\n    z.writestr('link/evil.txt', 'x')\n",
         Outcome::refused, "link/evil.txt"},
        {"zip absolute link alone", true, "    link(z, 'passwd', '/etc/passwd')\n", Outcome::failed, ""},
        {"zip relative link out", true, "    link(z, 'up', '../../elsewhere')\n    z.writestr('ok.txt', 'ok')\n",
         Outcome::extracted, "ok.txt"},
        {"zip link that escapes through another link", true,
         "    link(z, 'here', '.')\n    link(z, 'escape', 'here/..')\n    z.writestr('ok.txt', 'ok')\n", Outcome::extracted,
         "here,ok.txt"},
        {"tar ../ entry", false, "    add(t, 'ok.txt')\n    add(t, 'sub/../../evil.txt')\n", Outcome::refused,
         "sub/../../evil.txt"},
        {"tar absolute entry", false, "    add(t, '@/evil.txt')\n", Outcome::refused, "@/evil.txt"},
        {"tar link out, then through it", false,
         "    add(t, 'link', kind=tarfile.SYMTYPE, target='@')\n    add(t, 'link/evil.txt')\n", Outcome::refused,
         "link/evil.txt"},
        {"tar link within, then through a link out", false,
         "    add(t, 'in', kind=tarfile.SYMTYPE, target='out')\n    add(t, 'out', kind=tarfile.SYMTYPE, target='..')\n"
         "    add(t, 'in/evil.txt')\n",
         Outcome::refused, "in/evil.txt"},
        {"tar absolute link alone", false, "    add(t, 'passwd', kind=tarfile.SYMTYPE, target='/etc/passwd')\n", Outcome::failed,
         ""},
        {"tar hard link out", false, "    add(t, 'hard', kind=tarfile.LNKTYPE, target='@/victim.txt')\n", Outcome::refused,
         "hard"},
        {"tar hard link up", false, "    add(t, 'hard', kind=tarfile.LNKTYPE, target='../../elsewhere/victim.txt')\n",
         Outcome::refused, "hard"},
        {"tar link that escapes through another link", false,
         "    add(t, 'here', kind=tarfile.SYMTYPE, target='.')\n"
         "    add(t, 'escape', kind=tarfile.SYMTYPE, target='here/..')\n    add(t, 'ok.txt')\n",
         Outcome::extracted, "here,ok.txt"},
        {"tar fifo", false, "    add(t, 'pipe', kind=tarfile.FIFOTYPE)\n", Outcome::failed, ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.label);
        TempDir dir;
        const auto elsewhere = dir / "elsewhere";
        dir.write("elsewhere/victim.txt", "untouched");
        const auto withElsewhere = [&](std::string text) {
            for (auto at = text.find('@'); at != std::string::npos; at = text.find('@'))
                text.replace(at, 1, elsewhere.string());
            return text;
        };
        const auto archive = dir / (row.zip ? "in/a.zip" : "in/a.tar");
        fs::create_directories(archive.parent_path());
        if (row.zip)
            zipWithPython(archive, withElsewhere(row.body));
        else
            tarWithPython(archive, "w", withElsewhere(row.body));
        const auto out = dir / "deep/out";
        fs::create_directories(out);

        try {
            ArchiveProcessor::extractArchive(archive, out);
            EXPECT_EQ(row.outcome, Outcome::extracted);
        } catch (const PlatformError& error) {
            EXPECT_EQ(row.outcome, Outcome::refused) << error.what();
            EXPECT_NE(std::string(error.what()).find("\u201C" + withElsewhere(row.entry) + "\u201D"), std::string::npos)
                << error.what();
            EXPECT_TRUE(fs::is_empty(out));
        } catch (const ConversionError& error) {
            EXPECT_EQ(row.outcome, Outcome::failed) << error.debugDescription();
            EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
        }
        if (row.outcome == Outcome::extracted) {
            std::vector<std::string> expected;
            for (std::string rest = row.entry; !rest.empty();) {
                const auto comma = std::min(rest.find(','), rest.size());
                expected.push_back(rest.substr(0, comma));
                rest.erase(0, std::min(comma + 1, rest.size()));
            }
            EXPECT_EQ(namesIn(out), expected);
        }
        EXPECT_EQ(namesIn(elsewhere), std::vector<std::string>{"victim.txt"});
        EXPECT_EQ(readFile(elsewhere / "victim.txt"), "untouched");
        EXPECT_FALSE(fs::exists(dir / "evil.txt"));
        EXPECT_FALSE(fs::exists(dir / "deep/evil.txt"));
        expectNoLinkLeadsOutOf(out);
        // No staging folder is left behind.
        for (const auto& entry : fs::directory_iterator(out))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".vantory")) << entry.path();
    }
}

TEST(ArchiveExtract, ExtractingWithAPasswordRefusesTheSameEntries)
{
    TempDir dir;
    zipWithPython(dir / "in/a.zip", "    z.writestr('ok.txt', 'ok')\n    z.writestr('../evil.txt', 'x')\n");
    try {
        ArchiveProcessor::extractArchiveWithPassword(dir / "in/a.zip", "pw", dir / "out");
        ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("\u201C../evil.txt\u201D"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(!fs::exists(dir / "out") || fs::is_empty(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "evil.txt"));
}

// What the archive tools themselves make of a folder with links out of it.
TEST(ArchiveExtract, LinksOutOfTheFolderAreLeftOutAndTheRestExtracted)
{
    TempDir dir;
    dir.write("project/src/main.c", "int main;");
    fs::create_directory_symlink("/usr/include", dir / "project/inc");
    fs::create_symlink("../../x", dir / "project/up");
    fs::create_symlink("src/main.c", dir / "project/main");
    ProcessOptions inDir;
    inDir.workingDirectory = dir.path().string();
    ASSERT_TRUE(runProcess(ToolPaths::current().tar, {"-cf", "project.tar", "project"}, inDir).succeeded());
    ASSERT_TRUE(runProcess(ToolPaths::current().zip, {"-q", "-r", "-y", "project.zip", "project"}, inDir).succeeded());
    for (const std::string name : {"project.tar", "project.zip"}) {
        SCOPED_TRACE(name);
        const auto out = dir / ("out-" + name);
        ArchiveProcessor::extractArchive(dir / name, out);
        EXPECT_EQ(namesIn(out), (std::vector<std::string>{"project", "project/main", "project/src", "project/src/main.c"}));
        EXPECT_EQ(readFile(out / "project/main"), "int main;");
    }
}

TEST(ArchiveExtract, LinksWithinTheArchiveSurvive)
{
    TempDir dir;
    tarWithPython(dir / "a.tar", "w",
                  twoTarEntries
                      + "    add(t, 'folder/up.txt', kind=tarfile.SYMTYPE, target='../top.txt')\n"
                        "    add(t, 'current', kind=tarfile.SYMTYPE, target='folder')\n");
    ArchiveProcessor::extractArchive(dir / "a.tar", dir / "out");
    EXPECT_EQ(readFile(dir / "out/folder/up.txt"), "top");
    EXPECT_EQ(readFile(dir / "out/current/inner.txt"), "inner");
}

TEST(ArchiveExtract, SetIdBitsAreDropped)
{
    TempDir dir;
    tarWithPython(dir / "a.tar", "w",
                  "    info = tarfile.TarInfo('tool')\n    info.mode = 0o6755\n    t.addfile(info, io.BytesIO(b''))\n");
    ArchiveProcessor::extractArchive(dir / "a.tar", dir / "out");
    const auto perms = fs::status(dir / "out/tool").permissions();
    EXPECT_EQ(perms & (fs::perms::set_uid | fs::perms::set_gid), fs::perms::none);
}

TEST(ArchiveExtract, ArchiveThatYieldsNothingIsAFailure)
{
    struct Case {
        std::string name;
        std::string body;
    };
    for (const auto& [name, body] : std::vector<Case>{{"empty.zip", "    pass\n"}, {"empty.tar", "    pass\n"}}) {
        SCOPED_TRACE(name);
        TempDir dir;
        if (name.ends_with(".zip"))
            zipWithPython(dir / name, body);
        else
            tarWithPython(dir / name, "w", body);
        EXPECT_THROW(ArchiveProcessor::extractArchive(dir / name, dir / "out"), ConversionError);
        EXPECT_TRUE(fs::is_empty(dir / "out"));
    }
}

TEST(ArchiveExtract, ToolThatSucceedsWithoutWritingAnythingIsAFailure)
{
    TempDir dir;
    ToolPathsOverride tools;
    tools->tar = executable(dir, "tools/tar", "exit 0").string();
    tools->unzip = executable(dir, "tools/unzip", "exit 0").string();
    for (const std::string name : {"a.zip", "a.tar"}) {
        dir.write(name, "whatever");
        try {
            ArchiveProcessor::extractArchive(dir / name, dir / "out");
            ADD_FAILURE() << name << " reported success";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::exportFailed(dir / name, "Failed to extract archive (nothing was extracted)"));
        }
    }
}

TEST(ArchiveExtract, DamagedOrForeignFilesFail)
{
    for (const std::string name : {"damaged.zip", "damaged.tar.gz", "missing.zip", "missing.tar"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        if (!name.starts_with("missing"))
            dir.write(name, "this is not an archive at all");
        try {
            ArchiveProcessor::extractArchive(dir / name, dir / "out");
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::exportFailed(dir / name, "Failed to extract archive"));
        }
    }
}

TEST(ArchiveExtract, EncryptedZipWithoutPasswordFailsInsteadOfWaiting)
{
    TempDir dir;
    const auto file = dir.write("secret.txt", "secret");
    ASSERT_EQ(runProcess("/usr/bin/zip", {"-q", "-j", "-P", "pw", (dir / "locked.zip").string(), file.string()}).exitStatus, 0);
    EXPECT_THROW(ArchiveProcessor::extractArchive(dir / "locked.zip", dir / "out"), ConversionError);
    EXPECT_FALSE(fs::exists(dir / "out/secret.txt"));
}

TEST(ArchiveExtract, ToolThatCannotStartIsAPlatformError)
{
    TempDir dir;
    ToolPathsOverride tools;
    tools->unzip = tools->tar = (dir / "nowhere").string();
    zipWithPython(dir / "a.zip", twoEntries);
    EXPECT_THROW(ArchiveProcessor::extractArchive(dir / "a.zip", dir / "out"), PlatformError);
    EXPECT_THROW(ArchiveProcessor::extractArchive(dir / "a.tar", dir / "out"), PlatformError);
}

namespace {

constexpr std::uint64_t megabyte = 1 << 20;

// Two megabytes of zeros, which an archive holds in a few kilobytes.
fs::path twoMegabytesOfZeros(const TempDir& dir)
{
    return dir.write("zeros.bin", std::string(2 * megabyte, '\0'));
}

} // namespace

// The archive states how much it will write; what does not fit is refused before anything
// is written, whatever the archive's size on disk.
TEST(ArchiveExtract, AnArchiveThatDoesNotFitIsRefusedBeforeWriting)
{
    struct Case {
        std::string archive;
        std::string password; // "" for extractArchive
    };
    TempDir dir;
    const auto zeros = twoMegabytesOfZeros(dir);
    ProcessOptions inDir;
    inDir.workingDirectory = dir.path().string();
    ASSERT_TRUE(runProcess("/usr/bin/zip", {"-q", "plain.zip", "zeros.bin"}, inDir).succeeded());
    ASSERT_TRUE(runProcess("/usr/bin/zip", {"-q", "-P", "pw", "locked.zip", "zeros.bin"}, inDir).succeeded());
    ASSERT_TRUE(runProcess("/usr/bin/tar", {"-czf", "packed.tar.gz", "zeros.bin"}, inDir).succeeded());
    ASSERT_LT(fs::file_size(dir / "plain.zip"), 100'000u);

    for (const Case& c : std::vector<Case>{{"plain.zip", ""}, {"locked.zip", "pw"}, {"packed.tar.gz", ""}}) {
        for (const std::uint64_t beyondReserve : {1 * megabyte, 3 * megabyte}) {
            SCOPED_TRACE(c.archive + " with " + std::to_string(beyondReserve / megabyte) + " MB to spare");
            const FreeSpaceOverride free([&](const fs::path&) { return FreeSpace::reserve + beyondReserve; });
            const auto out = dir / ("out-" + c.archive + std::to_string(beyondReserve));
            const auto extract = [&] {
                if (c.password.empty())
                    ArchiveProcessor::extractArchive(dir / c.archive, out);
                else
                    ArchiveProcessor::extractArchiveWithPassword(dir / c.archive, c.password, out);
            };
            if (beyondReserve < 2 * megabyte) {
                try {
                    extract();
                    ADD_FAILURE() << "extracted";
                } catch (const PlatformError& error) {
                    EXPECT_STREQ(error.what(), "Not enough disk space");
                }
                EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
            } else {
                extract();
                EXPECT_EQ(fs::file_size(out / "zeros.bin"), 2 * megabyte);
            }
        }
    }
}

// A tool that writes on after the volume runs short is ended, and nothing of what it
// wrote is kept. The stand-in tools write a little, say so, and would then wait for long.
TEST(ArchiveExtract, AnExtractionThatRunsShortOfSpaceIsEnded)
{
    TempDir dir;
    const auto started = dir / "started";
    const std::string standIn = "while [ $# -gt 1 ]; do case \"$1\" in -d|-C) into=$2;; esac; shift; done\n"
                                "echo part > \"$into/part.bin\"\n"
                                "touch '" + started.string() + "'\n"
                                "exec sleep 20";
    ToolPathsOverride tools;
    tools->unzip = executable(dir, "tools/unzip", standIn).string();
    tools->tar = executable(dir, "tools/tar", standIn).string();
    zipWithPython(dir / "a.zip", twoEntries);
    tarWithPython(dir / "a.tar", "w", twoTarEntries);
    // Plenty of room until the tool has begun writing, none afterwards.
    const FreeSpaceOverride free([&](const fs::path&) -> std::uint64_t { return fs::exists(started) ? 0 : 1ull << 40; });

    for (const std::string name : {"a.zip", "a.tar"}) {
        SCOPED_TRACE(name);
        fs::remove(started);
        const auto out = dir / ("out-" + name);
        const auto began = std::chrono::steady_clock::now();
        try {
            ArchiveProcessor::extractArchive(dir / name, out);
            ADD_FAILURE() << "extracted";
        } catch (const PlatformError& error) {
            EXPECT_STREQ(error.what(), "Not enough disk space");
        }
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
        EXPECT_TRUE(fs::is_empty(out));
    }
}
