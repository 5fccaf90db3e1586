#pragma once

#include <QObject>
#include <string>

namespace vantory {

// Reports navigation to `path` (from the previous path) every time `view` is shown.
// Works for widgets and windows alike; the report ends with the view.
void trackNavigation(QObject* view, const std::string& path);

} // namespace vantory
