#include "Converters/Archive/ArchivePasswordDialogue.h"
#include "support/ArchiveFixtures.h"

#include <gtest/gtest.h>

using namespace vantory;
using namespace vantory::test;

namespace {

// A tool that behaves like zipcloak and unzip at their slowest: each prompt is shown first,
// and only a moment later is echo switched off, with pending input flushed. It exits 0 when
// every prompt was answered with the password, and gives up after five silent seconds.
std::string slowPromptingTool(const std::vector<std::string>& prompts)
{
    std::string list;
    for (const auto& prompt : prompts)
        list += "'" + prompt + "', ";
    return "#!/usr/bin/python3\n"
           "import os, select, sys, termios, time\n"
           "tty = os.open('/dev/tty', os.O_RDWR)\n"
           "def ask(prompt):\n"
           "    os.write(2, prompt.encode())\n"
           "    time.sleep(0.3)\n"
           "    modes = termios.tcgetattr(tty)\n"
           "    modes[3] &= ~termios.ECHO\n"
           "    termios.tcsetattr(tty, termios.TCSAFLUSH, modes)\n"
           "    line = b''\n"
           "    while not line.endswith(b'\\n'):\n"
           "        if not select.select([tty], [], [], 5)[0]: sys.exit(7)\n"
           "        line += os.read(tty, 1)\n"
           "    modes[3] |= termios.ECHO\n"
           "    termios.tcsetattr(tty, termios.TCSAFLUSH, modes)\n"
           "    return line\n"
           "answers = [ask(p) for p in ["
           + list
           + "]]\n"
             "sys.exit(0 if all(a == 'p[1] $x'.encode() + b'\\n' for a in answers) else 8)\n";
}

} // namespace

TEST(ArchivePasswordDialogue, AnswerWaitsUntilTheToolListens)
{
    struct Case {
        std::string script;
        std::vector<std::string> prompts;
    };
    const std::vector<Case> cases = {
        {ArchivePasswordDialogue::encryptScript(), {"Enter password: ", "Verify password: "}},
        {ArchivePasswordDialogue::testScript(), {"[a.zip] one.txt password: "}},
    };
    for (const auto& [script, prompts] : cases) {
        TempDir dir;
        const auto tool = dir.write("tool", slowPromptingTool(prompts));
        std::filesystem::permissions(tool, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
        ProcessOptions options;
        options.extraEnvironment = {{ArchivePasswordDialogue::toolVariable, tool.string()},
                                    {ArchivePasswordDialogue::archiveVariable, (dir / "a.zip").string()},
                                    {ArchivePasswordDialogue::passwordVariable, "p[1] $x"}};
        EXPECT_EQ(runProcess("/usr/bin/expect", {"-c", script}, options).exitStatus, 0) << prompts.front();
    }
}
