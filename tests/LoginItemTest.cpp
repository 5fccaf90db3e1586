#include "Platform/LoginItem.h"
#include "support/EnvironmentVariable.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantory;
using test::EnvironmentVariable;
using test::TempDir;
namespace fs = std::filesystem;

namespace {

std::string unescapedStringValue(const std::string& value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        const char next = value[++i];
        text += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next == 's' ? ' ' : next;
    }
    return text;
}

// The arguments of an Exec value as a launcher reads them: string escapes, then "%%", then
// the quoting. Strict: whatever the rules reserve but find unescaped gives nothing.
std::optional<std::vector<std::string>> execArguments(const std::string& value)
{
    const std::string text = unescapedStringValue(value);
    std::string expanded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && (++i == text.size() || text[i] != '%'))
            return std::nullopt; // a field code
        expanded += text[i];
    }
    std::vector<std::string> arguments;
    std::optional<std::string> current;
    bool quoted = false;
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        const char c = expanded[i];
        if (quoted && c == '"') {
            quoted = false;
        } else if (quoted && c == '\\') {
            if (i + 1 == expanded.size() || !std::strchr("\"`$\\", expanded[i + 1]))
                return std::nullopt;
            *current += expanded[++i];
        } else if (quoted && (c == '`' || c == '$')) {
            return std::nullopt;
        } else if (quoted) {
            *current += c;
        } else if (c == ' ') {
            if (current)
                arguments.push_back(*current);
            current.reset();
        } else if (c == '"') {
            quoted = true;
            current = current.value_or("");
        } else if (std::strchr("\t\n'\\><~|&;*?#()`$", c)) {
            return std::nullopt; // reserved outside quotes
        } else {
            current = current.value_or("") + c;
        }
    }
    if (quoted)
        return std::nullopt;
    if (current)
        arguments.push_back(*current);
    return arguments;
}

// The keys of the file's one group, read line by line as desktop files are.
std::map<std::string, std::string> desktopEntry(const fs::path& file)
{
    std::istringstream lines(test::readFile(file));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[Desktop Entry]");
    std::map<std::string, std::string> keys;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << line;
        keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

// A private configuration folder for each test.
struct LoginItemFixture : ::testing::Test {
    TempDir dir;
    EnvironmentVariable configHome{"XDG_CONFIG_HOME", (dir / "config").string()};
    fs::path entry = dir / "config/autostart/vantory.desktop";
};

} // namespace

TEST(LoginItemExec, QuotesEveryReservedCharacter)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/usr/bin/vantory", R"("/usr/bin/vantory")"},
        {"/opt/my apps/vantory", R"("/opt/my apps/vantory")"},
        {"/opt/say \"hi\"/vantory", R"("/opt/say \\"hi\\"/vantory")"},
        {"/opt/`id`/vantory", R"("/opt/\\`id\\`/vantory")"},
        {"/opt/$HOME/vantory", R"("/opt/\\$HOME/vantory")"},
        {"/opt/back\\slash/vantory", R"("/opt/back\\\\slash/vantory")"},
        {"/opt/100%u/vantory", R"("/opt/100%%u/vantory")"},
        {"/opt/it's/vantory", R"("/opt/it's/vantory")"},
        {"/opt/line\nbreak\ttab/vantory", R"("/opt/line\nbreak\ttab/vantory")"},
        {"/opt/a;b|c&d*e?f#g(h)i<j>k~l/vantory", R"("/opt/a;b|c&d*e?f#g(h)i<j>k~l/vantory")"},
        {"/opt/\\\"$`%%/v", R"("/opt/\\\\\\"\\$\\`%%%%/v")"},
    };
    for (const auto& [program, expected] : cases) {
        SCOPED_TRACE(program);
        const std::string value = LoginItem::execValue(program);
        EXPECT_EQ(value, expected);
        EXPECT_EQ(execArguments(value), std::vector<std::string>{program});
    }
}

TEST(LoginItemExec, EntryFolderFollowsXdgConfigHome)
{
    TempDir home;
    const EnvironmentVariable homeVariable("HOME", home.path());
    const std::vector<std::pair<std::optional<std::string>, fs::path>> cases = {
        {"/somewhere/config", "/somewhere/config/autostart/vantory.desktop"},
        {std::nullopt, home / ".config/autostart/vantory.desktop"},
        {"", home / ".config/autostart/vantory.desktop"},
        {"relative/config", home / ".config/autostart/vantory.desktop"},
    };
    for (const auto& [configHome, expected] : cases) {
        SCOPED_TRACE(configHome.value_or("(unset)"));
        const EnvironmentVariable variable("XDG_CONFIG_HOME", configHome.value_or(""));
        if (!configHome)
            unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(LoginItem::entryPath(), expected);
    }
}

TEST_F(LoginItemFixture, RegisterWritesAnEntryThatStartsTheProgram)
{
    const fs::path program = "/opt/Vantory \"beta\"/bin/vantory";
    ASSERT_TRUE(LoginItem::registerItem(program));
    EXPECT_EQ(LoginItem::entryPath(), entry);

    const auto keys = desktopEntry(entry);
    EXPECT_EQ(keys.at("Type"), "Application");
    EXPECT_EQ(keys.at("Name"), "Vantory");
    EXPECT_EQ(keys.at("X-GNOME-Autostart-enabled"), "true");
    EXPECT_EQ(keys.at("X-Vantory-LoginItem"), "true");
    EXPECT_EQ(execArguments(keys.at("Exec")), std::vector<std::string>{program.string()});
    // Only the entry is in the folder: the temporary file of the atomic write is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(entry.parent_path()), fs::directory_iterator()), 1);

    ASSERT_TRUE(LoginItem::unregisterItem());
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_TRUE(LoginItem::unregisterItem()); // already gone is fine
}

// An entry the user wrote, which names the same file but lacks our mark (or denies it).
const std::vector<std::pair<const char*, std::string>> usersOwnEntries = {
    {"unmarked", "[Desktop Entry]\nType=Application\nExec=vantory --quiet\n"},
    {"marked false", "[Desktop Entry]\nType=Application\nExec=vantory\nX-Vantory-LoginItem=false\n"},
    {"marked in another group",
     "[Desktop Entry]\nType=Application\nExec=vantory\n[Desktop Action Quiet]\nX-Vantory-LoginItem=true\n"},
};

TEST_F(LoginItemFixture, ReconcileFollowsThePreference)
{
    const fs::path program = "/usr/lib/vantory/vantory";
    enum class Before { none, ours, ownedByTheUser };
    struct Case {
        bool launchAtLogin;
        Before before;
        bool entryAfter;
    };
    const std::vector<Case> cases = {
        {true, Before::none, true},   {true, Before::ours, true},   {false, Before::none, false},
        {false, Before::ours, false}, {false, Before::ownedByTheUser, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "preference " << c.launchAtLogin << ", entry before " << static_cast<int>(c.before));
        fs::remove(entry);
        if (c.before == Before::ours) {
            ASSERT_TRUE(LoginItem::registerItem("/old/place/vantory"));
        }
        if (c.before == Before::ownedByTheUser)
            dir.write("config/autostart/vantory.desktop", usersOwnEntries.front().second);

        EXPECT_TRUE(LoginItem::reconcile(c.launchAtLogin, program));

        EXPECT_EQ(fs::exists(entry), c.entryAfter);
        if (c.launchAtLogin) {
            EXPECT_EQ(execArguments(desktopEntry(entry).at("Exec")), std::vector<std::string>{program.string()});
        } else if (c.before == Before::ownedByTheUser) {
            EXPECT_EQ(test::readFile(entry), usersOwnEntries.front().second);
        }
    }
}

TEST_F(LoginItemFixture, UnregisterLeavesTheUsersOwnEntryAsItIs)
{
    for (const auto& [kind, text] : usersOwnEntries) {
        SCOPED_TRACE(kind);
        dir.write("config/autostart/vantory.desktop", text);
        EXPECT_TRUE(LoginItem::unregisterItem());
        EXPECT_EQ(test::readFile(entry), text);
    }
    // Ours, whatever the spacing around the key.
    dir.write("config/autostart/vantory.desktop", "[Desktop Entry]\nExec=vantory\n  X-Vantory-LoginItem = true \n");
    EXPECT_TRUE(LoginItem::unregisterItem());
    EXPECT_FALSE(fs::exists(entry));
}

TEST_F(LoginItemFixture, FailuresAreReported)
{
    // A file where the autostart folder belongs.
    dir.write("config/autostart", "not a folder");
    EXPECT_FALSE(LoginItem::registerItem("/usr/bin/vantory"));
    EXPECT_FALSE(LoginItem::reconcile(true, "/usr/bin/vantory"));
    fs::remove(dir / "config/autostart");

    // A folder, not ours, where the entry belongs: neither replaced nor removed.
    dir.write("config/autostart/vantory.desktop/someone's.txt", "x");
    EXPECT_FALSE(LoginItem::registerItem("/usr/bin/vantory"));
    EXPECT_FALSE(LoginItem::unregisterItem());
    EXPECT_TRUE(fs::exists(entry / "someone's.txt"));
    fs::remove_all(entry);

    if (geteuid() != 0) {
        chmod(entry.parent_path().c_str(), 0555);
        EXPECT_FALSE(LoginItem::registerItem("/usr/bin/vantory"));
        chmod(entry.parent_path().c_str(), 0755);
    }
}

TEST_F(LoginItemFixture, GioStartsTheProgramTheEntryNames)
{
    if (!fs::exists("/usr/bin/gio"))
        GTEST_SKIP() << "gio is not installed";
    // GLib looks the program up before it expands "%%", so a name with "%" is left to the
    // table above.
    const auto marker = dir / "started";
    const auto program = dir.write("odd $dir \"with\" `quotes` \\back/app",
                                   "#!/bin/sh\necho started > '" + marker.string() + "'\n");
    fs::permissions(program, fs::perms::owner_all);
    ASSERT_TRUE(LoginItem::registerItem(program));

    ASSERT_EQ(std::system(("/usr/bin/gio launch '" + entry.string() + "'").c_str()), 0);
    EXPECT_TRUE(test::spinUntil([&] { return fs::exists(marker); }));
}
