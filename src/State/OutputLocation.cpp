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

// The XDG user folder when it exists, else the file's own folder: a folder the user
// removed is not made again behind their back.
std::filesystem::path userFolder(QStandardPaths::StandardLocation kind, const std::filesystem::path& file)
{
    const std::filesystem::path folder = QStandardPaths::writableLocation(kind).toStdString();
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error))
        return folder;
    return folderOf(file);
}

bool isSameOrInside(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    std::error_code error;
    const auto canonicalPath = std::filesystem::weakly_canonical(path, error);
    if (error)
        return false;
    const auto canonicalFolder = std::filesystem::weakly_canonical(folder, error);
    if (error)
        return false;
    const auto relative = canonicalPath.lexically_relative(canonicalFolder);
    return !relative.empty() && *relative.begin() != "..";
}

// Output written inside a dropped folder would become part of it: zipped into itself,
// or trashed with it.
std::filesystem::path outsideOfDroppedFolder(const std::filesystem::path& base, const std::filesystem::path& file)
{
    std::error_code error;
    if (std::filesystem::is_directory(file, error) && isSameOrInside(base, file))
        return folderOf(file);
    return base;
}

std::filesystem::path chosenFolder(OutputLocation location, const std::filesystem::path& file)
{
    switch (location) {
    case OutputLocation::sameFolder: return folderOf(file);
    case OutputLocation::desktop: return userFolder(QStandardPaths::DesktopLocation, file);
    case OutputLocation::downloads: return userFolder(QStandardPaths::DownloadLocation, file);
    }
    return folderOf(file);
}

} // namespace

std::filesystem::path resolve(OutputLocation location, const std::filesystem::path& file,
                              const std::vector<std::filesystem::path>& otherInputs)
{
    auto base = outsideOfDroppedFolder(chosenFolder(location, file), file);
    // Leaving one dropped folder can land in another dropped folder that holds it; each
    // step goes up, so a pass per input is enough.
    for (std::size_t pass = 0; pass <= otherInputs.size(); ++pass) {
        const auto before = base;
        for (const auto& input : otherInputs)
            base = outsideOfDroppedFolder(base, input);
        if (base == before)
            break;
    }
    return base;
}

} // namespace vantory
