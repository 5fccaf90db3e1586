#pragma once

#include "State/WidgetStateManager.h"
#include "support/EventLoop.h"
#include "support/FakeServices.h"
#include "support/ManualScheduler.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TestSettings.h"

#include <chrono>
#include <memory>

namespace vantory::test {

// A real state manager on fakes the test drives: its router, clock, settings, volume and
// language model.
struct FakedStateManager {
    ManualScheduler clock;
    TestSettings settings;
    FakeEnvironment environment;
    std::shared_ptr<FakeRouter> router = std::make_shared<FakeRouter>();
    std::shared_ptr<ScriptedLanguageModel> model = std::make_shared<ScriptedLanguageModel>();
    std::unique_ptr<WidgetStateManager> manager = std::make_unique<WidgetStateManager>(
        WidgetStateManager::Services{router,
                                     &clock,
                                     settings.settings.get(),
                                     &environment,
                                     [](const std::string&, const std::map<std::string, std::string>&) {},
                                     {},
                                     model});

    ~FakedStateManager()
    {
        manager.reset();
        finishBackgroundWork();
    }

    // Lets a drop's payload be built and the phase that follows it come.
    void settle()
    {
        finishBackgroundWork();
        clock.advance(std::chrono::milliseconds(600));
        finishBackgroundWork();
    }
};

} // namespace vantory::test
