#include "Platform/StaleTemporaryCleanup.h"

#include "Platform/AppTemporaryFolder.h"
#include "Platform/PlatformError.h"

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace vantory {

namespace fs = std::filesystem;
using std::chrono::system_clock;

namespace {

constexpr auto staleAge = std::chrono::hours(1);

// The entry's own modification time (of a link, the link's), as Linux keeps no creation time.
std::optional<system_clock::time_point> lastChange(const fs::path& entry)
{
    struct stat status { };
    if (lstat(entry.c_str(), &status) != 0)
        return std::nullopt;
    const auto sinceEpoch = std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return system_clock::time_point(std::chrono::duration_cast<system_clock::duration>(sinceEpoch));
}

} // namespace

void removeStaleTemporaryEntries(system_clock::time_point now)
{
    fs::path folder;
    try {
        folder = AppTemporaryFolder::ensure();
    } catch (const PlatformError&) {
        return;
    } catch (const fs::filesystem_error&) {
        return; // no temporary folder at all
    }
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const auto changed = lastChange(entry->path());
        std::error_code ignored;
        if (changed && *changed < now - staleAge)
            fs::remove_all(entry->path(), ignored); // removes a link itself and never follows links inside folders
    }
}

} // namespace vantory
