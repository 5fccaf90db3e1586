#include "Platform/ShrinkingFileGuard.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace vantory::ShrinkingFileGuard {

namespace {

// The signal handler reads these, so they are plain lock-free atomics.
struct WatchedRange {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> start{0};
    std::atomic<std::size_t> length{0};
    std::atomic<bool> cutShort{false};
};

std::array<WatchedRange, 64> ranges;
struct sigaction previousAction;

bool replaceWithZeros(std::uintptr_t address)
{
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    void* page = reinterpret_cast<void*>(address & ~(pageSize - 1));
    return ::mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED;
}

void passOn(int signal, siginfo_t* info, void* context)
{
    if ((previousAction.sa_flags & SA_SIGINFO) != 0 && previousAction.sa_sigaction) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // Returning runs the faulting access again, which now ends the process as it would have.
    ::signal(SIGBUS, SIG_DFL);
}

void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (auto& range : ranges) {
        const std::uintptr_t start = range.start.load();
        if (start != 0 && address >= start && address - start < range.length.load() && replaceWithZeros(address)) {
            range.cutShort.store(true);
            return;
        }
    }
    passOn(signal, info, context);
}

void installHandlerOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action { };
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &previousAction);
    });
}

} // namespace

int watch(const void* start, std::size_t length)
{
    installHandlerOnce();
    for (std::size_t slot = 0; slot < ranges.size(); ++slot) {
        bool expected = false;
        if (!ranges[slot].taken.compare_exchange_strong(expected, true))
            continue;
        ranges[slot].cutShort.store(false);
        ranges[slot].length.store(length);
        ranges[slot].start.store(reinterpret_cast<std::uintptr_t>(start));
        return static_cast<int>(slot);
    }
    return -1;
}

bool cutShort(int slot)
{
    return ranges[static_cast<std::size_t>(slot)].cutShort.load();
}

void release(int slot)
{
    auto& range = ranges[static_cast<std::size_t>(slot)];
    range.start.store(0);
    range.length.store(0);
    range.taken.store(false);
}

} // namespace vantory::ShrinkingFileGuard
