#include "State/OutputLocation.h"

#include "Platform/PathNames.h"

#include <QStandardPaths>

namespace vantory {

std::string rawValue(OutputLocation location)
{
    switch (location) {
    case OutputLocation::sameFolder: return "sameFolder";
    case OutputLocation::desktop: return "desktop";
    case OutputLocation::downloads: return "downloads";
    }
    return "sameFolder";
}

std::optional<OutputLocation> outputLocationFromRawValue(const std::string& raw)
{
    for (OutputLocation location : allOutputLocations)
        if (rawValue(location) == raw)
            return location;
    return std::nullopt;
}

std::string label(OutputLocation location)
{
    switch (location) {
    case OutputLocation::sameFolder: return "Same Folder as Original";
    case OutputLocation::desktop: return "Desktop";
    case OutputLocation::downloads: return "Downloads";
    }
    return "";
}

namespace {

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return withoutTrailingSlash(file).parent_path();
}

// The XDG user folder, created when it is missing; the file's own folder when there is none.
std::filesystem::path userFolder(QStandardPaths::StandardLocation kind, const std::filesystem::path& file)
{
    const std::filesystem::path folder = QStandardPaths::writableLocation(kind).toStdString();
    std::error_code error;
    if (!folder.empty() && (std::filesystem::is_directory(folder, error) || std::filesystem::create_directories(folder, error)))
        return folder;
    return folderOf(file);
}

} // namespace

std::filesystem::path resolve(OutputLocation location, const std::filesystem::path& file)
{
    switch (location) {
    case OutputLocation::sameFolder: return folderOf(file);
    case OutputLocation::desktop: return userFolder(QStandardPaths::DesktopLocation, file);
    case OutputLocation::downloads: return userFolder(QStandardPaths::DownloadLocation, file);
    }
    return folderOf(file);
}

} // namespace vantory
