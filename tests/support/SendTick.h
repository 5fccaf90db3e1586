#pragma once

#include "support/EventLoop.h"
#include "support/ManualScheduler.h"

#include "Telemetry/SignalManager.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vantory::test {

// One send tick of `manager`, then waits until its answer has been handled.
inline void sendTick(ManualScheduler& scheduler, const SignalManager& manager)
{
    using namespace std::chrono_literals;
    scheduler.advance(10s);
    ASSERT_TRUE(spinUntil([&] { return manager.postsInFlight() == 0; }));
}

} // namespace vantory::test
