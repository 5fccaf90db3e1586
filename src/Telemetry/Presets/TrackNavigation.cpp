#include "Telemetry/Presets/TrackNavigation.h"

#include "Telemetry/Telemetry.h"

#include <QEvent>

namespace vantory {

namespace {

class NavigationReporter final : public QObject {
public:
    NavigationReporter(QObject* view, std::string path) : QObject(view), path_(std::move(path)) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            Telemetry::navigationPathChangedTo(path_);
        return QObject::eventFilter(watched, event);
    }

private:
    const std::string path_;
};

} // namespace

void trackNavigation(QObject* view, const std::string& path)
{
    view->installEventFilter(new NavigationReporter(view, path));
}

} // namespace vantory
