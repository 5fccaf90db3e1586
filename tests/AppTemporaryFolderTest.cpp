#include "Platform/AppTemporaryFolder.h"
#include "Platform/ArchiveToolArguments.h"
#include "Platform/PlatformError.h"
#include "support/EnvironmentVariable.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantory;
using test::EnvironmentVariable;
using test::TempDir;
namespace fs = std::filesystem;

namespace {

mode_t permissionsOf(const fs::path& path)
{
    struct stat status { };
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

fs::path appFolderIn(const TempDir& temporary)
{
    return temporary / ("vantory-" + std::to_string(getuid()));
}

} // namespace

TEST(AppTemporaryFolder, IsCreatedPrivateInTheTemporaryFolder)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto previousMask = umask(0);

    EXPECT_EQ(AppTemporaryFolder::ensure(), appFolderIn(temporary));
    umask(previousMask);
    EXPECT_EQ(permissionsOf(appFolderIn(temporary)), 0700);
    // A second call finds the folder there and keeps it.
    temporary.write(appFolderIn(temporary).filename().string() + "/kept", "x");
    EXPECT_EQ(AppTemporaryFolder::ensure(), appFolderIn(temporary));
    EXPECT_TRUE(fs::exists(appFolderIn(temporary) / "kept"));
}

TEST(AppTemporaryFolder, AFolderOthersMayEnterIsTightened)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    fs::create_directory(appFolderIn(temporary));
    chmod(appFolderIn(temporary).c_str(), 0777);

    AppTemporaryFolder::ensure();
    EXPECT_EQ(permissionsOf(appFolderIn(temporary)), 0700);
}

TEST(AppTemporaryFolder, RefusesALinkOrAFileAtItsName)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto elsewhere = temporary / "elsewhere";
    fs::create_directory(elsewhere);
    chmod(elsewhere.c_str(), 0755);

    struct Case {
        std::string name;
        std::function<void(const fs::path&)> plant;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"link to a folder", [&](const fs::path& at) { fs::create_directory_symlink(elsewhere, at); }, "symbolic link"},
        {"dangling link", [&](const fs::path& at) { fs::create_symlink(temporary / "missing", at); }, "symbolic link"},
        {"plain file", [&](const fs::path& at) { temporary.write(at.filename().string(), "x"); }, "not a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto name = appFolderIn(temporary);
        c.plant(name);
        try {
            AppTemporaryFolder::makePrivateFolder("vantory-archive-");
            ADD_FAILURE() << "not refused";
        } catch (const PlatformError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
        // Nothing was made or changed through the link.
        EXPECT_TRUE(fs::is_empty(elsewhere));
        EXPECT_EQ(permissionsOf(elsewhere), 0755);
        EXPECT_FALSE(fs::exists(temporary / "missing"));
        fs::remove(name);
    }
}

TEST(AppTemporaryFolder, RefusesAFolderOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    fs::create_directory(appFolderIn(temporary));
    chmod(appFolderIn(temporary).c_str(), 0777);
    ASSERT_EQ(chown(appFolderIn(temporary).c_str(), 65534, 65534), 0);

    EXPECT_THROW(AppTemporaryFolder::makePrivateFolder("vantory-archive-"), PlatformError);
    EXPECT_EQ(permissionsOf(appFolderIn(temporary)), 0777);
    EXPECT_TRUE(fs::is_empty(appFolderIn(temporary)));
}

TEST(AppTemporaryFolder, PrivateFoldersAreFreshAndInside)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto first = AppTemporaryFolder::makePrivateFolder("vantory-archive-");
    const auto second = AppTemporaryFolder::makePrivateFolder("vantory-archive-");

    EXPECT_NE(first, second);
    for (const auto& folder : {first, second}) {
        EXPECT_EQ(folder.parent_path(), appFolderIn(temporary));
        EXPECT_TRUE(folder.filename().string().starts_with("vantory-archive-")) << folder;
        EXPECT_EQ(permissionsOf(folder), 0700);
    }
}

TEST(AppTemporaryFolder, UnzipAliasesLiveInTheAppFolderAndGoWithTheirObject)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto archive = temporary.write("in/a[1].zip", "zip");
    {
        const ArchiveToolArguments::UnzipArchivePath path(archive);
        const fs::path alias = path.argument();
        EXPECT_EQ(alias.parent_path().parent_path(), appFolderIn(temporary));
        EXPECT_EQ(fs::read_symlink(alias), archive);
    }
    EXPECT_TRUE(fs::is_empty(appFolderIn(temporary)));
}
