#pragma once

#include <chrono>
#include <filesystem>

namespace vantory {

inline constexpr std::chrono::milliseconds archiveProbeTimeout{5000};

// Tests the ZIP archive with an empty password ("unzip -t -P '' path"): true exactly
// when unzip exits with 82, i.e. its entries need a password. A tool that cannot be
// launched, or that does not finish within `timeout`, counts as not protected.
bool zipNeedsPassword(const std::filesystem::path& archive, std::chrono::milliseconds timeout = archiveProbeTimeout);

} // namespace vantory
