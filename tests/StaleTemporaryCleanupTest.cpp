#include "Platform/StaleTemporaryCleanup.h"
#include "Platform/AppTemporaryFolder.h"
#include "support/EnvironmentVariable.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vantory;
using namespace std::chrono_literals;
using test::EnvironmentVariable;
using test::TempDir;
namespace fs = std::filesystem;

namespace {

const auto now = std::chrono::system_clock::now();

// Gives `path` itself (a link, not its target) the modification time `age` before `now`.
void makeAged(const fs::path& path, std::chrono::minutes age)
{
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>((now - age).time_since_epoch());
    const timespec time{static_cast<time_t>(sinceEpoch.count() / 1'000'000'000),
                        static_cast<long>(sinceEpoch.count() % 1'000'000'000)};
    const timespec times[2] = {time, time};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

} // namespace

TEST(StaleTemporaryCleanup, RemovesOnlyWhatIsOlderThanAnHourInTheAppFolder)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto app = AppTemporaryFolder::ensure();
    const auto outsideTarget = temporary / "target-outside";
    // Young, so that a link whose age is taken from its target would stay.
    temporary.write("target-outside/content.txt", "keep");

    struct Case {
        std::string name;
        fs::path path;
        std::function<void(const fs::path&)> make;
        std::chrono::minutes age;
        bool stays;
    };
    const auto folderWithContent = [&](const fs::path& at) {
        fs::create_directories(at / "inner");
        std::ofstream(at / "inner/file") << "x";
        fs::create_directory_symlink(outsideTarget, at / "inner/link");
    };
    const std::vector<Case> cases = {
        {"61 min folder", app / "vantory-archive-old", folderWithContent, 61min, false},
        {"59 min folder", app / "vantory-archive-new", folderWithContent, 59min, true},
        {"61 min file", app / "audio.wav", [](const fs::path& at) { std::ofstream(at) << "x"; }, 61min, false},
        {"59 min file", app / "recent.wav", [](const fs::path& at) { std::ofstream(at) << "x"; }, 59min, true},
        {"61 min link to a folder outside", app / "link",
         [&](const fs::path& at) { fs::create_directory_symlink(outsideTarget, at); }, 61min, false},
        {"61 min folder named like a UUID beside the app folder", temporary / "0F8FAD5B-D9CB-469F-A165-70867728950E",
         folderWithContent, 61min, true},
    };
    for (const auto& c : cases) {
        c.make(c.path);
        makeAged(c.path, c.age);
    }

    removeStaleTemporaryEntries(now);

    for (const auto& c : cases)
        EXPECT_EQ(fs::exists(fs::symlink_status(c.path)), c.stays) << c.name;
    EXPECT_EQ(test::readFile(outsideTarget / "content.txt"), "keep");
    EXPECT_TRUE(fs::is_directory(app));
}

TEST(StaleTemporaryCleanup, ARefusedAppFolderIsLeftAlone)
{
    TempDir temporary;
    const EnvironmentVariable tmpdir("TMPDIR", temporary.path());
    const auto target = temporary / "linked";
    temporary.write("linked/old.txt", "keep");
    makeAged(target / "old.txt", 120min);
    fs::create_directory_symlink(target, AppTemporaryFolder::location());

    removeStaleTemporaryEntries(now);

    EXPECT_EQ(test::readFile(target / "old.txt"), "keep");
    EXPECT_TRUE(fs::is_symlink(AppTemporaryFolder::location()));
}
