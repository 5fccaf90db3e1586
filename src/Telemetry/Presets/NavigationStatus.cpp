#include "Telemetry/Presets/NavigationStatus.h"

#include <utility>

namespace vantory {

NavigationStatus& NavigationStatus::shared()
{
    static NavigationStatus status;
    return status;
}

void NavigationStatus::setPreviousNavigationPath(std::string path)
{
    std::lock_guard lock(mutex_);
    previousNavigationPath_ = std::move(path);
}

std::optional<std::string> NavigationStatus::exchangePreviousNavigationPath(std::string path)
{
    std::lock_guard lock(mutex_);
    return std::exchange(previousNavigationPath_, std::move(path));
}

} // namespace vantory
