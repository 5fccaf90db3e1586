#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/ConversionError.h"
#include "Platform/PlatformError.h"
#include "support/ArchiveFixtures.h"
#include "support/ConversionErrors.h"

#include <gtest/gtest.h>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

// Passwords that a script language or a shell would read as code, and output folders
// whose names would too.
const std::vector<std::string> trickyPasswords = {
    "a\"b\\c", "-x", "a$b", "p[set x 1]q", "with spaces", "[", "}", "{", "$env(HOME)", "\\r", "caf\u00E9 \u2603", "'; rm -rf x '",
};
const std::vector<std::string> trickyFolders = {"out", "out with spaces", "out [1] {2} $x;y \"q\""};

fs::path encryptedZip(const TempDir& dir, const std::string& password, const std::string& name = "locked.zip")
{
    const auto first = dir.write("plain/secret.txt", "the secret");
    const auto second = dir.write("plain/other.txt", "other secret");
    const auto archive = dir / name;
    EXPECT_EQ(
        runProcess("/usr/bin/zip", {"-q", "-j", "-P", password, archive.string(), first.string(), second.string()}).exitStatus,
        0);
    return archive;
}

// Flips bytes well inside the stored (uncompressed) data of the first entry, past its
// encryption header, so the password is accepted and the content fails its check.
void damageFirstEntry(const fs::path& archive)
{
    python("import sys, struct, zipfile\n"
           "info = zipfile.ZipFile(sys.argv[1]).infolist()[0]\n"
           "data = bytearray(open(sys.argv[1], 'rb').read())\n"
           "o = info.header_offset\n"
           "name, extra = struct.unpack('<HH', data[o + 26:o + 30])\n"
           "start = o + 30 + name + extra + 12\n"
           "for i in range(start + 2, start + 6): data[i] ^= 0xFF\n"
           "open(sys.argv[1], 'wb').write(data)",
           {archive.string()});
}

} // namespace

TEST(ArchivePassword, EveryPasswordAndFolderRoundTrips)
{
    for (const auto& folder : trickyFolders) {
        for (const auto& password : trickyPasswords) {
            SCOPED_TRACE(folder + " / " + password);
            TempDir dir;
            const auto file = dir.write("in/My [file] $1.txt", "content");
            ArchiveProcessor::compressToZipWithPassword({file}, password, dir / folder);
            const auto zips = zipsIn(dir / folder);
            ASSERT_EQ(zips.size(), 1u);
            const auto archive = zips.front();
            EXPECT_EQ(unzipTestStatus(archive, password), 0);
            EXPECT_NE(unzipTestStatus(archive, ""), 0);
            EXPECT_TRUE(allEntriesEncrypted(archive));

            EXPECT_TRUE(ArchiveProcessor::testPassword(archive, password));
            EXPECT_FALSE(ArchiveProcessor::testPassword(archive, password + "x"));
            ArchiveProcessor::extractArchiveWithPassword(archive, password, dir / folder / "extracted");
            EXPECT_EQ(readFile(dir / folder / "extracted/My [file] $1.txt"), "content");
        }
    }
}

TEST(ArchivePassword, FolderAndSeveralInputsAreAllEncrypted)
{
    TempDir dir;
    dir.write("in/Folder/a.txt", "a");
    dir.write("in/Folder/empty/.keep", "");
    const auto other = dir.write("in2/b.txt", "b");
    ArchiveProcessor::compressToZipWithPassword({dir / "in/Folder", other}, "pw", dir / "out");
    const auto archive = zipsIn(dir / "out").at(0);
    EXPECT_TRUE(archive.filename().string().starts_with("archive_"));
    EXPECT_EQ(unzipTestStatus(archive, "pw"), 0);
    EXPECT_NE(unzipTestStatus(archive, ""), 0);
    EXPECT_NE(unzipTestStatus(archive, "wrong"), 0);
    EXPECT_TRUE(allEntriesEncrypted(archive));
}

TEST(ArchivePassword, EncryptionThatDoesNotHappenIsAFailureAndLeavesNoArchive)
{
    struct Case {
        std::string label;
        std::string zipcloak; // a stand-in for zipcloak, or "" for the real one
        std::string expect; // a path for expect, or "" for the real one
        std::string password = "pw";
    };
    TempDir tools;
    // Like the real tool, the stand-ins switch echo off before they read an answer.
    const std::string dialogue = "printf 'Enter password: '; stty -echo; read a; printf 'Verify password: '; read b; ";
    const std::vector<Case> cases = {
        {"zipcloak killed", "kill -9 $$", ""},
        {"zipcloak killed after the dialogue", dialogue + "kill -9 $$", ""},
        {"zipcloak fails", dialogue + "exit 3", ""},
        {"zipcloak ends at once with 0", "exit 0", ""},
        {"zipcloak answers but does not encrypt", dialogue + "exit 0", ""},
        {"zipcloak missing", "", (tools / "no-such-zipcloak").string()},
        {"empty password", "", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.label);
        TempDir dir;
        ToolPathsOverride paths;
        if (!row.zipcloak.empty())
            paths->zipcloak = executable(dir, "tools/zipcloak", row.zipcloak).string();
        if (!row.expect.empty())
            paths->zipcloak = row.expect;
        const auto file = dir.write("in/a.txt", "a");
        EXPECT_EQ(
            conversionErrorOf([&] { ArchiveProcessor::compressToZipWithPassword({file}, row.password, dir / "out"); }).kind(),
            ConversionError::Kind::encryptionFailed);
        EXPECT_TRUE(zipsIn(dir / "out").empty());
    }
}

TEST(ArchivePassword, MissingExpectIsAFailureNotASuccess)
{
    TempDir dir;
    ToolPathsOverride paths;
    paths->expect = (dir / "no-such-expect").string();
    const auto file = dir.write("in/a.txt", "a");
    try {
        ArchiveProcessor::compressToZipWithPassword({file}, "pw", dir / "out");
        ADD_FAILURE() << "reported success";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("\u201Cno-such-expect\u201D could not be started"), std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(zipsIn(dir / "out").empty());

    const auto archive = encryptedZip(dir, "pw");
    EXPECT_THROW(ArchiveProcessor::extractArchiveWithPassword(archive, "pw", dir / "extracted"), PlatformError);
    EXPECT_FALSE(ArchiveProcessor::testPassword(archive, "pw"));
}

TEST(ArchivePassword, RightPasswordExtractsWrongOneIsIncorrect)
{
    TempDir dir;
    const auto archive = encryptedZip(dir, "open sesame");
    ArchiveProcessor::extractArchiveWithPassword(archive, "open sesame", dir / "out");
    EXPECT_EQ(readFile(dir / "out/secret.txt"), "the secret");
    EXPECT_EQ(readFile(dir / "out/other.txt"), "other secret");

    for (const std::string wrong : {"open", "", "open sesame ", "\r"}) {
        SCOPED_TRACE(wrong);
        try {
            ArchiveProcessor::extractArchiveWithPassword(archive, wrong, dir / "wrong");
            ADD_FAILURE() << "a wrong password was accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::incorrectPassword());
            EXPECT_EQ(error.errorDescription(), "Incorrect password");
        }
        EXPECT_TRUE(fs::is_empty(dir / "wrong"));
        EXPECT_FALSE(ArchiveProcessor::testPassword(archive, wrong));
    }
}

TEST(ArchivePassword, ArchiveOfEntriesWithDifferentPasswordsIsIncorrectAndEnds)
{
    TempDir dir;
    const auto archive = encryptedZip(dir, "first");
    // Several entries under the second password: a wrong password passes one entry's
    // one-byte check one time in 256, and then reads as damage rather than as refused.
    for (const std::string name : {"third.txt", "fourth.txt", "fifth.txt"}) {
        const auto file = dir.write("plain/" + name, name);
        ASSERT_EQ(runProcess("/usr/bin/zip", {"-q", "-j", "-P", "second", archive.string(), file.string()}).exitStatus, 0);
    }
    EXPECT_EQ(conversionErrorOf([&] { ArchiveProcessor::extractArchiveWithPassword(archive, "first", dir / "out"); }).kind(),
              ConversionError::Kind::incorrectPassword);
    EXPECT_FALSE(ArchiveProcessor::testPassword(archive, "first"));
}

TEST(ArchivePassword, DamagedArchiveIsNotAnIncorrectPassword)
{
    TempDir dir;
    const auto file = dir.write("plain/big.txt", std::string(4000, 'q'));
    const auto archive = dir / "damaged.zip";
    ASSERT_EQ(runProcess("/usr/bin/zip", {"-q", "-0", "-j", "-P", "pw", archive.string(), file.string()}).exitStatus, 0);
    damageFirstEntry(archive);
    try {
        ArchiveProcessor::extractArchiveWithPassword(archive, "pw", dir / "out");
        ADD_FAILURE() << "a damaged archive was extracted";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error, ConversionError::exportFailed(archive, "Failed to extract archive (exit 2)"));
    }
    EXPECT_FALSE(ArchiveProcessor::testPassword(archive, "pw"));

    dir.write("garbage.zip", "not a zip at all, just text");
    const auto kind = conversionErrorOf([&] {
                          ArchiveProcessor::extractArchiveWithPassword(dir / "garbage.zip", "pw", dir / "out2");
                      }).kind();
    EXPECT_EQ(kind, ConversionError::Kind::exportFailed);
    EXPECT_FALSE(ArchiveProcessor::testPassword(dir / "garbage.zip", "pw"));
}

TEST(ArchivePassword, PlainArchiveAndEmptyArchiveThroughThePasswordPath)
{
    TempDir dir;
    zipWithPython(dir / "plain.zip", "    z.writestr('a.txt', 'a')\n");
    ArchiveProcessor::extractArchiveWithPassword(dir / "plain.zip", "anything", dir / "out");
    EXPECT_EQ(readFile(dir / "out/a.txt"), "a");

    zipWithPython(dir / "empty.zip", "    pass\n");
    EXPECT_EQ(
        conversionErrorOf([&] { ArchiveProcessor::extractArchiveWithPassword(dir / "empty.zip", "pw", dir / "out2"); }).kind(),
        ConversionError::Kind::exportFailed);
}

TEST(ArchivePassword, KilledOrSilentUnzipIsAFailure)
{
    TempDir dir;
    const auto archive = encryptedZip(dir, "pw");
    ToolPathsOverride paths;
    struct Case {
        std::string script;
        std::string reason;
    };
    for (const auto& [script, reason] : std::vector<Case>{
             {"kill -9 $$", "Failed to extract archive (exit 255)"},
             {"exit 9", "Failed to extract archive (exit 9)"},
             {"exit 0", "Failed to extract archive (nothing was extracted)"},
         }) {
        SCOPED_TRACE(script);
        paths->unzip = executable(dir, "tools/unzip", script).string();
        try {
            ArchiveProcessor::extractArchiveWithPassword(archive, "pw", dir / "out");
            ADD_FAILURE() << "reported success";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, ConversionError::exportFailed(archive, reason));
        }
        EXPECT_EQ(ArchiveProcessor::testPassword(archive, "pw"), script == "exit 0");
    }
}

TEST(ArchivePassword, ZipSlipThroughThePasswordPathIsStopped)
{
    TempDir dir;
    dir.write("elsewhere/victim.txt", "untouched");
    zipWithPython(dir / "a.zip", "    link(z, 'link', '" + (dir / "elsewhere").string() + "')\n");
    EXPECT_THROW(ArchiveProcessor::extractArchiveWithPassword(dir / "a.zip", "pw", dir / "out"), ConversionError);
    EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST(ArchivePassword, PasswordNeverStandsOnACommandLineNorReachesTheTools)
{
    TempDir dir;
    const std::string password = "Sup3r-Secret-Phrase";
    // Each stand-in records its arguments and its environment, then becomes the real tool.
    const auto recorder = [&](const std::string& tool) {
        return executable(dir, "tools/" + tool,
                          "printf '%s\\n' \"$0\" \"$@\" >> '" + (dir / "arguments.txt").string()
                              + "'\n"
                                "env >> '"
                              + (dir / ("environment-" + tool + ".txt")).string()
                              + "'\n"
                                "exec /usr/bin/"
                              + tool + " \"$@\"")
            .string();
    };
    ToolPathsOverride paths;
    const std::vector<std::pair<std::string, std::string*>> tools = {
        {"expect", &paths->expect}, {"zipcloak", &paths->zipcloak}, {"unzip", &paths->unzip}, {"zip", &paths->zip}};
    for (const auto& [tool, path] : tools)
        *path = recorder(tool);

    const auto file = dir.write("in/a.txt", "a");
    ArchiveProcessor::compressToZipWithPassword({file}, password, dir / "out");
    const auto archive = zipsIn(dir / "out").at(0);
    EXPECT_TRUE(ArchiveProcessor::testPassword(archive, password));
    EXPECT_FALSE(ArchiveProcessor::testPassword(archive, password + "-wrong"));
    ArchiveProcessor::extractArchiveWithPassword(archive, password, dir / "extracted");
    EXPECT_EQ(readFile(dir / "extracted/a.txt"), "a");

    const std::string arguments = readFile(dir / "arguments.txt");
    for (const std::string tool : {"tools/expect", "tools/zipcloak", "tools/unzip", "tools/zip"})
        EXPECT_NE(arguments.find(tool), std::string::npos) << tool << " never ran";
    EXPECT_EQ(arguments.find("Sup3r"), std::string::npos) << arguments;
    // expect is handed the password in its environment and takes it out before it starts a tool.
    EXPECT_NE(readFile(dir / "environment-expect.txt").find(password), std::string::npos);
    for (const std::string tool : {"zipcloak", "unzip", "zip"}) {
        const std::string environment = readFile(dir / ("environment-" + tool + ".txt"));
        EXPECT_FALSE(environment.empty()) << tool;
        EXPECT_EQ(environment.find("Sup3r"), std::string::npos) << tool;
    }
}

TEST(ArchivePassword, ArchiveOfEmptyEntriesCountsAsEncryptedEvenWhenOneWrongPasswordPasses)
{
    TempDir dir;
    fs::create_directories(dir / "in/Empty Folder");
    ArchiveProcessor::compressToZipWithPassword({dir / "in/Empty Folder"}, "pw", dir / "out");
    const auto archive = zipsIn(dir / "out").at(0);
    EXPECT_TRUE(allEntriesEncrypted(archive));

    // An empty entry opens with a wrong password one time in 256: here the empty one does.
    ToolPathsOverride paths;
    paths->unzip = executable(dir, "tools/unzip", "[ -z \"$3\" ] && exit 0; exec /usr/bin/unzip \"$@\"").string();
    ArchiveProcessor::compressToZipWithPassword({dir / "in/Empty Folder"}, "pw", dir / "out2");
    EXPECT_EQ(zipsIn(dir / "out2").size(), 1u);

    // An archive that every wrong password opens is not encrypted.
    paths->unzip = executable(dir, "tools/unzip", "exit 0").string();
    EXPECT_EQ(conversionErrorOf([&] {
                  ArchiveProcessor::compressToZipWithPassword({dir / "in/Empty Folder"}, "pw", dir / "out3");
              }).kind(),
              ConversionError::Kind::encryptionFailed);
    EXPECT_TRUE(zipsIn(dir / "out3").empty());
}

TEST(ArchivePassword, PasswordsTheToolsCannotTakeAreRefusedWithoutWaiting)
{
    TempDir dir;
    const auto input = dir.write("in/notes.txt", "notes");
    const auto out = dir / "out";
    const auto started = std::chrono::steady_clock::now();
    std::string euros; // 27 characters, 81 bytes
    for (int i = 0; i < 27; ++i)
        euros += "\u20AC";
    for (const std::string& password : {std::string(81, 'a'), euros,
                                        std::string("ab\x7f"
                                                    "cd"),
                                        std::string("ab\x15"
                                                    "cd"),
                                        std::string("tab\there")}) {
        EXPECT_THROW(ArchiveProcessor::compressToZipWithPassword({input}, password, out), PlatformError);
        EXPECT_TRUE(zipsIn(out).empty());
    }
    const auto archive = encryptedZip(dir, "right");
    try {
        ArchiveProcessor::extractArchiveWithPassword(archive, std::string(300, 'x'), out);
        ADD_FAILURE() << "a password of 300 bytes opened the archive";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.kind(), ConversionError::Kind::incorrectPassword);
    }
    EXPECT_FALSE(ArchiveProcessor::testPassword(archive, std::string(81, 'y')));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));

    const std::string longest(80, 'z');
    ArchiveProcessor::compressToZipWithPassword({input}, longest, out);
    ASSERT_EQ(zipsIn(out).size(), 1u);
    EXPECT_EQ(unzipTestStatus(zipsIn(out).front(), longest), 0);
}
