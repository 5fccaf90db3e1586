#include "State/RunEnvironment.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <sys/statvfs.h>

namespace vantory {

std::optional<std::uint64_t> DesktopRunEnvironment::freeSpace(const std::filesystem::path& folder)
{
    std::filesystem::path probe = folder;
    std::error_code error;
    while (!probe.empty() && !std::filesystem::exists(probe, error)) {
        if (probe == probe.parent_path())
            return std::nullopt;
        probe = probe.parent_path();
    }
    struct statvfs info { };
    if (probe.empty() || statvfs(probe.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
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
