#include "Telemetry/Telemetry.h"

#include "Telemetry/Presets/NavigationStatus.h"

namespace vantory {

namespace {

// Navigation signals carry exactly these keys: no caller parameters.
void sendPathChanged(const std::string& from, const std::string& to, const Telemetry::UserID& customUserID)
{
    Telemetry::internalSignal("Telemetry.Navigation.pathChanged",
                              {
                                  {"Telemetry.Navigation.schemaVersion", "1"},
                                  {"Telemetry.Navigation.identifier", from + " -> " + to},
                                  {"Telemetry.Navigation.sourcePath", from},
                                  {"Telemetry.Navigation.destinationPath", to},
                              },
                              std::nullopt, customUserID);
}

} // namespace

void Telemetry::navigationPathChanged(const std::string& from, const std::string& to, const UserID& customUserID)
{
    NavigationStatus::shared().setPreviousNavigationPath(to);
    sendPathChanged(from, to, customUserID);
}

void Telemetry::navigationPathChangedTo(const std::string& to, const UserID& customUserID)
{
    const std::string from = NavigationStatus::shared().exchangePreviousNavigationPath(to).value_or("");
    sendPathChanged(from, to, customUserID);
}

} // namespace vantory
