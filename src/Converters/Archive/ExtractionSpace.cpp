#include "Converters/Archive/ExtractionSpace.h"

#include "Platform/FreeSpace.h"
#include "Platform/PlatformError.h"

#include <limits>

namespace vantory {

namespace {

// A stated size may be anything: the sum stops at the largest value rather than wrap.
std::uint64_t statedSize(const std::vector<ArchiveEntry>& entries)
{
    constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t total = 0;
    for (const auto& entry : entries)
        if (entry.kind == ArchiveEntry::Kind::file)
            total = entry.size > largest - total ? largest : total + entry.size;
    return total;
}

} // namespace

void refuseWhatCannotFit(const std::vector<ArchiveEntry>& entries, const std::filesystem::path& outputFolder)
{
    const auto free = FreeSpace::available(outputFolder);
    if (!free)
        return;
    const std::uint64_t room = *free > FreeSpace::reserve ? *free - FreeSpace::reserve : 0;
    if (statedSize(entries) > room)
        throw PlatformError(FreeSpace::notEnoughMessage);
}

} // namespace vantory
