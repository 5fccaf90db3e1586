#pragma once

#include <filesystem>
#include <string>

// Starting the app when the user logs in, through an XDG autostart entry
// "$XDG_CONFIG_HOME/autostart/vantory.desktop". The entries this app writes carry the key
// "X-Vantory-LoginItem=true"; one without it is the user's own and is never removed. Each
// operation returns whether it worked.
namespace vantory::LoginItem {

// Where the entry is: $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path entryPath();

// Writes the entry (atomically, creating the autostart folder) to start `program`.
bool registerItem(const std::filesystem::path& program);
// Removes our entry; an entry that is not there, or is not ours, is fine and stays.
bool unregisterItem();
// Brings the entry in line with the user's choice at start-up: registered anew, so that it
// starts the program as it is now, or our entry removed.
bool reconcile(bool launchAtLogin, const std::filesystem::path& program);

// `program` as the value of an Exec key: one quoted argument, escaped for the Exec rules
// and then as a desktop-file string.
std::string execValue(const std::string& program);

} // namespace vantory::LoginItem
