#include "State/RunEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace vantory;

TEST(DesktopRunEnvironment, FreeSpaceAsksTheNearestExistingFolder)
{
    test::TempDir dir;
    auto& environment = DesktopRunEnvironment::shared();
    const auto existing = environment.freeSpace(dir.path());
    ASSERT_TRUE(existing);
    EXPECT_GT(*existing, 0u);
    EXPECT_TRUE(environment.freeSpace(dir / "not" / "yet" / "made"));
    EXPECT_FALSE(environment.freeSpace(""));
}

TEST(DesktopRunEnvironment, MoveToTrashUsesTheUsersTrash)
{
    test::TempDir dir;
    const auto dataHome = dir / "data";
    std::filesystem::create_directories(dataHome);
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome.string()));
    const auto original = dir.write("old photo.png", "pixels");

    const bool moved = DesktopRunEnvironment::shared().moveToTrash(original);
    qputenv("XDG_DATA_HOME", previous);

    ASSERT_TRUE(moved);
    EXPECT_FALSE(std::filesystem::exists(original));
    // Files on another volume than the home folder go to that volume's own trash folder.
    const bool inDataHomeTrash = std::filesystem::exists(dataHome / "Trash" / "files" / "old photo.png");
    EXPECT_TRUE(inDataHomeTrash || !std::filesystem::exists(dataHome / "Trash"));
    if (inDataHomeTrash) {
        EXPECT_EQ(test::readFile(dataHome / "Trash" / "files" / "old photo.png"), "pixels");
        EXPECT_TRUE(std::filesystem::exists(dataHome / "Trash" / "info" / "old photo.png.trashinfo"));
    }
}
