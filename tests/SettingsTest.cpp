#include "State/AppSettings.h"
#include "State/OutputFolderManager.h"
#include "support/TempDir.h"
#include "support/TestSettings.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sys/stat.h>

using namespace vantory;

TEST(AppSettings, DefaultsStoreAndReload)
{
    test::TestSettings settings;
    EXPECT_FALSE(settings->moveOriginalToTrash());
    EXPECT_EQ(settings->outputLocation(), OutputLocation::sameFolder);

    settings->setMoveOriginalToTrash(true);
    settings->setOutputLocation(OutputLocation::downloads);
    AppSettings reloaded(settings.makeStore());
    EXPECT_TRUE(reloaded.moveOriginalToTrash());
    EXPECT_EQ(reloaded.outputLocation(), OutputLocation::downloads);
    EXPECT_EQ(settings.makeStore()->value("outputLocation").toString(), "downloads");
}

TEST(AppSettings, LaunchAtLoginIsStoredAtOnceAndAnnounced)
{
    test::TestSettings settings;
    EXPECT_FALSE(settings->launchAtLogin());
    std::vector<bool> announced;
    QObject::connect(settings.settings.get(), &AppSettings::launchAtLoginChanged,
                     [&](bool value) { announced.push_back(value); });

    settings->setLaunchAtLogin(true);
    EXPECT_TRUE(settings->launchAtLogin());
    EXPECT_TRUE(AppSettings(settings.makeStore()).launchAtLogin());
    EXPECT_EQ(settings.makeStore()->value("launchAtLogin").toBool(), true);

    settings->setLaunchAtLogin(false);
    EXPECT_FALSE(AppSettings(settings.makeStore()).launchAtLogin());
    EXPECT_EQ(announced, (std::vector<bool>{true, false}));
}

TEST(AppSettings, UnknownStoredLocationFallsBackToSameFolder)
{
    for (const char* stored : {"Desktop", "elsewhere", ""}) {
        test::TestSettings settings;
        settings.makeStore()->setValue("outputLocation", stored);
        EXPECT_EQ(AppSettings(settings.makeStore()).outputLocation(), OutputLocation::sameFolder) << stored;
    }
    test::TestSettings settings;
    settings.makeStore()->setValue("outputLocation", "desktop");
    EXPECT_EQ(AppSettings(settings.makeStore()).outputLocation(), OutputLocation::desktop);
}

TEST(OutputLocation, ResolvesBaseFolders)
{
    test::TempDir home;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
    home.write("config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + (home / "My Desktop").string() + "\"\n");
    EXPECT_EQ(resolve(OutputLocation::sameFolder, "/photos/holiday.jpeg"), "/photos");
    EXPECT_EQ(resolve(OutputLocation::sameFolder, "/photos/album/"), "/photos");
    EXPECT_EQ(resolve(OutputLocation::desktop, "/photos/holiday.jpeg"), "/photos"); // missing: not created
    EXPECT_FALSE(std::filesystem::exists(home / "My Desktop"));
    std::filesystem::create_directory(home / "My Desktop");
    EXPECT_EQ(resolve(OutputLocation::desktop, "/photos/holiday.jpeg"), home / "My Desktop");
    EXPECT_EQ(label(OutputLocation::sameFolder), "Same Folder as Original");
}

TEST(OutputLocation, NeverInsideADroppedFolder)
{
    test::TempDir dir;
    const auto home = dir / "home";
    const auto downloads = home / "Downloads";
    std::filesystem::create_directories(downloads);
    std::filesystem::create_directories(home / "Music");
    std::filesystem::create_directory_symlink(downloads, dir / "linked");
    const auto file = dir.write("home/Downloads/list.txt", "x");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
    dir.write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + downloads.string() + "\"\n");

    struct Case {
        std::filesystem::path dropped;
        std::filesystem::path expectedBase;
    };
    const std::vector<Case> cases = {
        {downloads, home},           {downloads.string() + "/", home},
        {home, dir.path()},          {dir / "linked", dir.path()},
        {home / "Music", downloads}, {file, downloads},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolve(OutputLocation::downloads, c.dropped), c.expectedBase) << c.dropped;
    // A later input of the batch counts as much as the first.
    EXPECT_EQ(resolve(OutputLocation::downloads, home / "Music", {home / "Music", downloads}), home);
    EXPECT_EQ(resolve(OutputLocation::downloads, home / "Music", {home / "Music", dir / "linked", home}), dir.path());
}

TEST(OutputFolderManager, FolderWords)
{
    const std::vector<std::tuple<std::string, std::optional<std::string>, std::string>> rows = {
        {"remove_bg", {}, "transparent"},     {"compress_video", {}, "compressed"}, {"convert_image", "webp", "webp"},
        {"convert_audio", {}, "converted"},   {"merge_pdfs", {}, "merged_pdf"},     {"unlock_extract_zip", {}, "extracted"},
        {"compress_zip_pw", {}, "protected"}, {"something_else", {}, "converted"},
    };
    for (const auto& [id, format, word] : rows)
        EXPECT_EQ(OutputFolderManager::folderWord(id, format), word) << id;
}

TEST(OutputFolderManager, NamesFreshFolders)
{
    test::TempDir dir;
    const auto input = dir.write("holiday.jpeg", "x");
    const auto first = OutputFolderManager::createOutputFolder(dir.path(), input, "compress_image", {}, 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, dir / "compressed_holiday");

    // A second run never reuses the first run's folder (a failure would remove its files).
    const auto second = OutputFolderManager::createOutputFolder(dir.path(), input, "compress_image", {}, 1);
    ASSERT_TRUE(second);
    EXPECT_NE(*second, *first);
    EXPECT_TRUE(std::regex_match(second->filename().string(), std::regex("compressed_holiday_[a-z0-9]{5}")));

    const auto batch = OutputFolderManager::createOutputFolder(dir.path(), input, "convert_image", "webp", 3);
    ASSERT_TRUE(batch);
    EXPECT_TRUE(std::regex_match(batch->filename().string(), std::regex("webp_[a-z0-9]{5}")));
}

TEST(OutputFolderManager, CreationFailuresNeverFallBackToTheBase)
{
    test::TempDir dir;
    const auto input = dir.write("report.pdf", "x");
    dir.write("pages_report", "a file in the way");

    const auto inTheWay = OutputFolderManager::createOutputFolder(dir.path(), input, "pdf_to_images", {}, 1);
    ASSERT_TRUE(inTheWay);
    EXPECT_NE(*inTheWay, dir.path());
    EXPECT_TRUE(std::filesystem::is_directory(*inTheWay));

    const auto longName = dir.write(std::string(250, 'n') + ".pdf", "x");
    const auto tooLong = OutputFolderManager::createOutputFolder(dir.path(), longName, "lock_pdf", {}, 1);
    ASSERT_TRUE(tooLong);
    EXPECT_TRUE(std::regex_match(tooLong->filename().string(), std::regex("locked_[a-z0-9]{5}")));

    EXPECT_FALSE(OutputFolderManager::createOutputFolder(dir / "missing", input, "lock_pdf", {}, 1));
    if (geteuid() != 0) {
        const auto readOnly = dir / "readonly";
        std::filesystem::create_directory(readOnly);
        chmod(readOnly.c_str(), 0555);
        EXPECT_FALSE(OutputFolderManager::createOutputFolder(readOnly, input, "lock_pdf", {}, 1));
        chmod(readOnly.c_str(), 0755);
    }
}

TEST(OutputFolderManager, RandomIDDrawsEveryCharacterEquallyOften)
{
    // A source of 40 values: 36 characters fit into it once, and the 4 left over
    // must not make the first characters likelier.
    struct CyclingSource {
        using result_type = std::uint32_t;
        static constexpr result_type min() { return 0; }
        static constexpr result_type max() { return 39; }
        result_type operator()() { return next++ % 40; }
        result_type next = 0;
    } source;
    const std::string id = OutputFolderManager::randomID(36 * 10, source);
    std::map<char, int> counts;
    for (const char c : id)
        ++counts[c];
    EXPECT_EQ(counts.size(), 36u);
    for (const auto& [character, count] : counts)
        EXPECT_EQ(count, 10) << character;
}

TEST(OutputFolderManager, RandomIDAlphabet)
{
    const std::string id = OutputFolderManager::randomID(400);
    EXPECT_EQ(id.size(), 400u);
    EXPECT_TRUE(std::regex_match(id, std::regex("[a-z0-9]+")));
    EXPECT_EQ(OutputFolderManager::randomID(0), "");
}

TEST(OutputLocation, UnusableUserFolderFallsBackToTheFilesFolder)
{
    test::TempDir home;
    std::ofstream(home / "blocker") << "a file where a folder should go";
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
    home.write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + (home / "blocker" / "Downloads").string() + "\"\n");
    EXPECT_EQ(resolve(OutputLocation::downloads, "/photos/holiday.jpeg"), "/photos");
}
