#pragma once

#include "Models/DropPayload.h"
#include "State/WidgetStateManager.h"
#include "support/EventLoop.h"
#include "support/FakeServices.h"
#include "support/ManualScheduler.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TestSettings.h"

#include <chrono>
#include <memory>
#include <vector>

namespace vantory::test {

// A real state manager on fakes the test drives: its router, clock, settings, volume,
// telemetry and language model, every one given to it explicitly.
struct FakedStateManager {
    ManualScheduler clock;
    TestSettings settings;
    FakeEnvironment environment;
    std::shared_ptr<FakeRouter> router = std::make_shared<FakeRouter>();
    std::shared_ptr<ScriptedLanguageModel> model = std::make_shared<ScriptedLanguageModel>();
    // What the manager sent to telemetry, in order.
    std::vector<SentSignal> sentSignals;
    // How a drop's payload is built, on a worker; replace it before the drop it should build.
    WidgetStateServices::PayloadBuilder buildPayload = DropPayload::from;
    std::unique_ptr<WidgetStateManager> manager = std::make_unique<WidgetStateManager>(services());

    ~FakedStateManager()
    {
        // Workers may still use the fakes above: the manager does not wait for them.
        manager.reset();
        finishBackgroundWork();
    }

    WidgetStateServices services()
    {
        return {router,
                &clock,
                settings.settings.get(),
                &environment,
                [this](const std::string& name, const std::map<std::string, std::string>& parameters) {
                    sentSignals.push_back({name, parameters});
                },
                [this](const std::vector<std::filesystem::path>& paths) { return buildPayload(paths); },
                model};
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
