#pragma once

#include <string>

// The expect scripts that type a password into zipcloak and unzip. The scripts are fixed
// texts: the tool, the archive, the destination and the password reach them only through
// the environment, so no name or password is ever read as script, and the password never
// stands on a command line (where every user of the machine could read it).
namespace vantory::ArchivePasswordDialogue {

inline constexpr const char* toolVariable = "VANTORY_TOOL";
inline constexpr const char* archiveVariable = "VANTORY_ARCHIVE";
inline constexpr const char* destinationVariable = "VANTORY_DESTINATION";
inline constexpr const char* passwordVariable = "VANTORY_PASSWORD";

// The script exits with this when unzip turned the password down.
inline constexpr int passwordRejectedStatus = 82;
// ... and with this when the dialogue itself failed: a script error, a tool that could not
// be started, a tool killed by a signal, or a tool that ended before the dialogue was done.
inline constexpr int dialogueFailedStatus = 255;

// zipcloak on the archive: "Enter password:" and "Verify password:" are each answered with
// the password; exits with zipcloak's own status.
std::string encryptScript();

// unzip -o -q archive -d destination, answering every password prompt.
std::string extractScript();

// unzip -t -q archive, answering every password prompt.
std::string testScript();

} // namespace vantory::ArchivePasswordDialogue
