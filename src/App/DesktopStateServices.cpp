#include "App/DesktopStateServices.h"

#include "Converters/ConversionRouter.h"
#include "Telemetry/Telemetry.h"

namespace vantory {

WidgetStateServices desktopStateServices()
{
    return {std::make_shared<ConversionRouter>(),
            &QtScheduler::shared(),
            &AppSettings::shared(),
            &DesktopRunEnvironment::shared(),
            [](const std::string& name, const std::map<std::string, std::string>& parameters) {
                Telemetry::signal(name, parameters);
            },
            DropPayload::from,
            LanguageModel::systemDefault()};
}

} // namespace vantory
