#pragma once

#include <array>
#include <chrono>
#include <filesystem>

namespace vantory {

inline constexpr std::chrono::milliseconds archiveProbeTimeout{5000};

// unzip's exit status when the entries need a password.
inline constexpr int unzipPasswordExitStatus = 82;

// What unzip answers when the entries' content fails its check (a damaged archive, or a
// wrong password that passed the one-byte password check).
constexpr bool unzipContentCheckFailed(int exitStatus)
{
    return exitStatus == 1 || exitStatus == 2;
}

// Traditional ZIP encryption checks a password against one byte of each entry's header, so
// one wrong password in 256 passes that check and fails only on the entry's content, with
// unzip's exit status 1 or 2, as a damaged archive does. Trying a few wrong passwords tells
// the two apart: a protected archive answers 82 to at least one of them.
inline constexpr std::array<const char*, 4> wrongPasswordsToTry{"", "1", "2", "3"};

// Tests the ZIP archive with an empty password ("unzip -t -P '' path"): true exactly
// when unzip exits with 82, i.e. its entries need a password. An exit status of 1 or 2
// is asked again with the other wrong passwords above. A tool that cannot be launched,
// or that does not finish within `timeout`, counts as not protected.
bool zipNeedsPassword(const std::filesystem::path& archive, std::chrono::milliseconds timeout = archiveProbeTimeout);

} // namespace vantory
