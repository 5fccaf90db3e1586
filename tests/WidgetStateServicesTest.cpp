#include "State/WidgetStateManager.h"
#include "support/FakedStateManager.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace vantory;

// A manager missing a service would otherwise reach for the desktop's own, behind a test's back.
TEST(WidgetStateServices, AManagerWithoutEveryServiceIsRefused)
{
    test::FakedStateManager faked;
    const std::pair<const char*, std::function<void(WidgetStateServices&)>> missing[] = {
        {"router", [](WidgetStateServices& services) { services.router = nullptr; }},
        {"scheduler", [](WidgetStateServices& services) { services.scheduler = nullptr; }},
        {"settings", [](WidgetStateServices& services) { services.settings = nullptr; }},
        {"environment", [](WidgetStateServices& services) { services.environment = nullptr; }},
        {"sendSignal", [](WidgetStateServices& services) { services.sendSignal = nullptr; }},
        {"buildPayload", [](WidgetStateServices& services) { services.buildPayload = nullptr; }},
        {"languageModel", [](WidgetStateServices& services) { services.languageModel = nullptr; }},
    };
    for (const auto& [name, remove] : missing) {
        WidgetStateServices services = faked.services();
        remove(services);
        EXPECT_THROW(WidgetStateManager{services}, std::invalid_argument) << name;
    }
    EXPECT_NO_THROW(WidgetStateManager{faked.services()});
}
