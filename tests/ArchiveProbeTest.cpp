#include "Platform/ArchiveProbe.h"
#include "Models/DropPayload.h"
#include "State/ActionResolver.h"
#include "support/TempDir.h"
#include "support/ZipFixtures.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace vantory;

namespace {

std::vector<std::string> linesOf(const std::filesystem::path& file)
{
    std::istringstream in(test::readFile(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Makes password-protected archives until one lets the empty password through its
// one-byte header check (one in 256 does), as unzip's test shows with exit status 2.
std::filesystem::path writeZipTheEmptyPasswordPassesTheCheckOf(const std::filesystem::path& archive)
{
    for (int attempt = 0; attempt < 5000; ++attempt) {
        std::filesystem::remove(archive);
        test::writeZip(archive, "secret");
        if (runProcess("/usr/bin/unzip", {"-t", "-P", "", archive.string()}).exitStatus == 2)
            return archive;
    }
    throw std::runtime_error("no archive passed the empty password's check");
}

} // namespace

TEST(ArchiveProbe, TellsProtectedArchivesFromPlainAndDamagedOnes)
{
    test::TempDir dir;
    const auto plain = test::writeZip(dir / "plain.zip");
    const auto secret = test::writeZip(dir / "secret.zip", "secret");
    const std::string sound = test::readFile(plain);
    const auto damaged = dir.write("damaged.zip", sound.substr(0, sound.size() / 2));
    const auto notAZip = dir.write("text.zip", "just text");

    EXPECT_FALSE(zipNeedsPassword(plain));
    EXPECT_TRUE(zipNeedsPassword(secret));
    EXPECT_FALSE(zipNeedsPassword(damaged));
    EXPECT_FALSE(zipNeedsPassword(notAZip));
    EXPECT_FALSE(zipNeedsPassword(dir / "missing.zip"));
    EXPECT_FALSE(zipNeedsPassword(dir.path()));
}

TEST(ArchiveProbe, AWrongPasswordPassingTheHeaderCheckStillMeansProtected)
{
    test::TempDir dir;
    EXPECT_TRUE(zipNeedsPassword(writeZipTheEmptyPasswordPassesTheCheckOf(dir / "lucky.zip")));
}

TEST(ArchiveProbe, WildcardCharactersInTheNameProbeThatVeryFile)
{
    // unzip reads "a[1].zip" as a pattern that also matches "a1.zip".
    test::TempDir dir;
    const auto bracketed = test::writeZip(dir / "a[1].zip", "secret");
    test::writeZip(dir / "a1.zip");
    EXPECT_TRUE(zipNeedsPassword(bracketed));
    const auto plainBracketed = test::writeZip(dir / "b[2].zip");
    test::writeZip(dir / "b2.zip", "secret");
    EXPECT_FALSE(zipNeedsPassword(plainBracketed));
}

TEST(ArchiveProbe, PassesTheEmptyPasswordTestArguments)
{
    test::TempDir dir;
    const auto log = dir / "log";
    test::UnzipReplacement unzip(test::writeRecordingUnzip(dir / "unzip", log, 82));
    EXPECT_TRUE(zipNeedsPassword(dir / "a b.zip"));
    EXPECT_EQ(linesOf(log), std::vector<std::string>{"-t|-P||" + (dir / "a b.zip").string() + "|"});
}

TEST(ArchiveProbe, AToolThatCannotRunOrFinishMeansNotProtected)
{
    test::TempDir dir;
    const auto archive = test::writeZip(dir / "secret.zip", "secret");
    {
        test::UnzipReplacement unzip(dir / "no-such-unzip");
        EXPECT_FALSE(zipNeedsPassword(archive));
    }
    test::UnzipReplacement unzip(test::writeRecordingUnzip(dir / "slow-unzip", dir / "log", 82, "exec sleep 10"));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(zipNeedsPassword(archive, std::chrono::milliseconds(200)));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
}

TEST(ArchiveProbe, RunsWhileThePayloadIsBuiltAndNeverAgain)
{
    test::TempDir dir;
    const auto log = dir / "log";
    test::UnzipReplacement unzip(test::writeRecordingUnzip(dir / "unzip", log, 82));

    // A batch: only the first ZIP of the archives is asked about, while building.
    const auto batch = DropPayload::from({dir / "a.zip", dir / "b.tar", dir / "c.zip"});
    EXPECT_EQ(linesOf(log), std::vector<std::string>{"-t|-P||" + (dir / "a.zip").string() + "|"});
    ActionResolver resolver{batch, batch.groups.front(), std::nullopt, {}};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(resolver.suggestedActions().front().id, "unsupported");
    const DropPayload copy = batch;
    EXPECT_TRUE(copy.archiveNeedsPassword(dir / "a.zip"));
    EXPECT_FALSE(copy.archiveNeedsPassword(dir / "c.zip")); // never probed: no
    EXPECT_EQ(linesOf(log).size(), 1u);

    // A single archive: probed while building, never again.
    const auto single = DropPayload::from({dir / "d.zip"});
    EXPECT_TRUE(single.isEncryptedZIP);
    ActionResolver{single, single.groups.front(), std::nullopt, {}}.suggestedActions();
    EXPECT_TRUE(single.archiveNeedsPassword(dir / "d.zip"));
    EXPECT_EQ(linesOf(log).size(), 2u);

    // A new payload of the same file asks again: the answer may have changed.
    DropPayload::from({dir / "d.zip"});
    EXPECT_EQ(linesOf(log).size(), 3u);
}
