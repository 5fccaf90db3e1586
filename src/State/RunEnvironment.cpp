#include "State/RunEnvironment.h"

#include "Platform/FreeSpace.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace vantory {

std::optional<std::uint64_t> DesktopRunEnvironment::freeSpace(const std::filesystem::path& folder)
{
    return FreeSpace::available(folder);
}

void DesktopRunEnvironment::openFolder(const std::filesystem::path& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

bool DesktopRunEnvironment::moveToTrash(const std::filesystem::path& file)
{
    return QFile::moveToTrash(QString::fromStdString(file.string()));
}

DesktopRunEnvironment& DesktopRunEnvironment::shared()
{
    static DesktopRunEnvironment environment;
    return environment;
}

} // namespace vantory
