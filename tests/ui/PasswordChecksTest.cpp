#include "Views/ActionCard/PasswordChecks.h"
#include "State/WidgetStateManager.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/TempDir.h"
#include "support/ZipFixtures.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

class PasswordChecksTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;

    void drop(const std::vector<std::filesystem::path>& files)
    {
        manager->handleDrop(files);
        ASSERT_TRUE(test::spinUntil([&] { return manager->payload().has_value(); }));
    }
};

TEST_F(PasswordChecksTest, TheZipCheckOpensTheDroppedArchiveWithItsPasswordOnly)
{
    struct Case {
        const char* name;
        std::string archivePassword;
        std::string typed;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"right", "hunter2", "hunter2", true},
        {"wrong", "hunter2", "hunter3", false},
        {"empty", "hunter2", "", false},
        {"spaces and quotes", R"( two words "and" 'quotes' )", R"( two words "and" 'quotes' )", true},
        {"spaces trimmed", R"( two words "and" 'quotes' )", R"(two words "and" 'quotes')", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto archive = test::writeZip(dir / (std::string(c.name) + ".zip"), c.archivePassword);
        drop({archive, test::writeZip(dir / "second.zip", "hunter3")});
        const auto check = PasswordChecks::zip(*manager);
        manager->reset();
        EXPECT_EQ(check(c.typed), c.opens) << "the first file of the payload it was made for";
    }
}

TEST_F(PasswordChecksTest, TheZipCheckWithoutAPayloadOpensNothing)
{
    EXPECT_FALSE(PasswordChecks::zip(*manager)("anything"));
}

} // namespace
