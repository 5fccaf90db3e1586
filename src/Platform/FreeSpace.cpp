#include "Platform/FreeSpace.h"

#include <condition_variable>
#include <mutex>
#include <sys/statvfs.h>

namespace vantory::FreeSpace {

namespace {

std::optional<std::uint64_t> readFromFileSystem(const std::filesystem::path& folder)
{
    std::filesystem::path probe = folder;
    std::error_code error;
    while (!probe.empty() && !std::filesystem::exists(probe, error)) {
        if (probe == probe.parent_path())
            return std::nullopt;
        probe = probe.parent_path();
    }
    struct statvfs info { };
    if (probe.empty() || statvfs(probe.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

} // namespace

Reading& reading()
{
    static Reading current = readFromFileSystem;
    return current;
}

std::optional<std::uint64_t> available(const std::filesystem::path& folder)
{
    return reading()(folder);
}

Watch::Watch(std::filesystem::path folder, std::stop_token outer)
    : folder_(std::move(folder)),
      outerStop_(std::move(outer), [this] { stop_.request_stop(); }),
      watcher_([this](std::stop_token ending) { watch(std::move(ending)); })
{
}

void Watch::watch(std::stop_token ending)
{
    std::mutex mutex;
    std::condition_variable_any wakeup;
    std::unique_lock lock(mutex);
    while (!ending.stop_requested() && !stop_.stop_requested()) {
        const auto free = available(folder_);
        if (free && *free < reserve) {
            ranShort_ = true;
            stop_.request_stop();
            return;
        }
        wakeup.wait_for(lock, ending, interval, [] { return false; });
    }
}

} // namespace vantory::FreeSpace
