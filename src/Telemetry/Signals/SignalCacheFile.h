#pragma once

#include "Telemetry/Signals/SignalPostBody.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantory::SignalCacheFile {

// A larger file is not read. The most records the cache keeps (5,000) take about 11 MB.
inline constexpr std::uintmax_t maximumBytes = 16 * 1024 * 1024;

struct Reading {
    enum class Outcome { absent, loaded, discarded };
    Outcome outcome = Outcome::absent;
    std::vector<SignalPostBody> records;
    // Records of a loaded file left out for a date out of range.
    std::size_t outOfRangeDates = 0;
    // Why a discarded file was not used, as a log line says it.
    std::string discardReason;
};

// Reads the file at `path` and removes whatever entry is there. It neither follows a
// link nor waits on a pipe: only a regular file of at most `maximumBytes` is read.
Reading take(const std::filesystem::path& path);

// Writes `data` to a new file readable by this user only, in a folder of the same kind,
// and renames it over whatever entry is at `path`, so nothing is written through a link
// there. Returns whether the file is in place.
bool replace(const std::filesystem::path& path, std::string_view data);

} // namespace vantory::SignalCacheFile
