#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <thread>

namespace vantory::FreeSpace {

// What the user reads when a volume has no room for the work.
inline constexpr const char* notEnoughMessage = "Not enough disk space";

// Left free by work that fills a volume: the system and other programs need some room.
inline constexpr std::uint64_t reserve = 64ull << 20;

// Bytes free for this user on the volume of `folder`, or of its nearest existing parent;
// none when that cannot be asked.
std::optional<std::uint64_t> available(const std::filesystem::path& folder);

// How `available` reads the figure: from the file system, unless a test puts its own here.
using Reading = std::function<std::optional<std::uint64_t>(const std::filesystem::path&)>;
Reading& reading();

// Watches, from a thread of its own, the volume that a tool fills: once less than
// `reserve` is free there, its stop token is requested, so that whoever runs the tool
// ends it before the volume is full. Requested too when `outer` is.
class Watch {
public:
    static constexpr std::chrono::milliseconds interval{25};

    Watch(std::filesystem::path folder, std::stop_token outer);
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    std::stop_token stopToken() const { return stop_.get_token(); }
    bool ranShort() const { return ranShort_; }

private:
    void watch(std::stop_token ending);

    std::filesystem::path folder_;
    std::stop_source stop_;
    std::atomic<bool> ranShort_ = false;
    std::stop_callback<std::function<void()>> outerStop_;
    std::jthread watcher_; // last: joined first
};

} // namespace vantory::FreeSpace
