#include "support/TelemetryFixture.h"

#include "Telemetry/Presets/TrackNavigation.h"

#include <QWidget>
#include <QWindow>

namespace vantory::test {
namespace {

using TrackNavigationTest = TelemetryFixture;

std::vector<std::string> destinations(const RecordingSignalManager& recorder)
{
    std::vector<std::string> paths;
    for (const auto& signal : recorder.recordedSignals())
        paths.push_back(signal.parameters.at("Telemetry.Navigation.destinationPath"));
    return paths;
}

TEST_F(TrackNavigationTest, WidgetsAndWindowsReportTheirPathEachTimeTheyAreShown)
{
    const auto recorder = start(makeConfiguration());
    QWidget settings;
    QWindow preview;
    trackNavigation(&settings, "settings");
    trackNavigation(&preview, "preview");

    settings.show();
    preview.show();
    settings.hide();
    settings.show();

    EXPECT_EQ(destinations(*recorder), (std::vector<std::string>{"settings", "preview", "settings"}));
}

} // namespace
} // namespace vantory::test
