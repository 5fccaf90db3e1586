#pragma once

#include <filesystem>
#include <string>

// The app's own folder for working files, "vantory-<uid>" in the system's temporary folder
// (TMPDIR is honoured). Nothing of the app goes straight into the shared temporary folder,
// where other users can plant names ahead of it.
namespace vantory::AppTemporaryFolder {

// Where the folder is; says nothing about whether it exists.
std::filesystem::path location();

// The folder, created with mode 0700 when missing. Throws PlatformError when the name is a
// symbolic link, not a folder, or a folder of another user. A folder of ours that others
// may enter is tightened to 0700: only our own programs can have loosened it, and
// everything made inside it is made afresh.
std::filesystem::path ensure();

// A new, empty folder only we can enter, inside the app's folder, named `prefix` and six
// random characters. Throws PlatformError.
std::filesystem::path makePrivateFolder(const std::string& prefix);

} // namespace vantory::AppTemporaryFolder
