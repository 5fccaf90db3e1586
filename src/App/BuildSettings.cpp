#include "App/BuildSettings.h"

#include "BuildConfiguration.h"

namespace vantory {

BuildSettings buildSettings()
{
    return {VANTORY_TELEMETRY_APP_ID, QUrl(QStringLiteral(VANTORY_RELEASE_PAGE)), QStringLiteral(VANTORY_TIP_PAGE_HOST)};
}

} // namespace vantory
