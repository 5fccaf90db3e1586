#include "Models/FileCategory.h"

#include "Platform/PathNames.h"
#include "Platform/TypeRegistry.h"

#include <set>

namespace vantory {

namespace {

struct CategoryNames {
    const char* raw;
    const char* plural;
    const char* icon;
};

CategoryNames namesOf(FileCategory category)
{
    switch (category) {
    case FileCategory::image: return {"image", "Images", "photo.fill"};
    case FileCategory::video: return {"video", "Videos", "film.fill"};
    case FileCategory::audio: return {"audio", "Audio Files", "music.note"};
    case FileCategory::document: return {"document", "Documents", "doc.fill"};
    case FileCategory::data: return {"data", "Data Files", "curlybraces"};
    case FileCategory::archive: return {"archive", "Archives", "archivebox.fill"};
    case FileCategory::folder: return {"folder", "Folders", "folder.fill"};
    case FileCategory::other: return {"other", "Files", "doc.fill"};
    }
    return {"other", "Files", "doc.fill"};
}

const std::set<std::string> archiveExtensions = {"zip", "tar", "gz", "tgz", "bz2"};
const std::set<std::string> dataExtensions = {"json", "csv", "tsv", "yaml", "yml", "xml", "plist", "toml"};
const std::set<std::string> cameraRawExtensions = {"cr2", "nef", "arw", "dng", "orf", "rw2"};

std::optional<FileCategory> categoryOfRegisteredType(const std::string& extension)
{
    const auto kind = registeredKindForExtension(extension);
    if (!kind)
        return std::nullopt;
    switch (*kind) {
    case RegisteredKind::image: return FileCategory::image;
    case RegisteredKind::movie: return FileCategory::video;
    case RegisteredKind::audio: return FileCategory::audio;
    case RegisteredKind::pdf: return FileCategory::document;
    }
    return std::nullopt;
}

} // namespace

std::string rawValue(FileCategory category)
{
    return namesOf(category).raw;
}

std::optional<FileCategory> fileCategoryFromRawValue(const std::string& raw)
{
    for (FileCategory category : allFileCategories)
        if (raw == namesOf(category).raw)
            return category;
    return std::nullopt;
}

std::string pluralName(FileCategory category)
{
    return namesOf(category).plural;
}

std::string iconName(FileCategory category)
{
    return namesOf(category).icon;
}

FileCategory fileCategoryFromExtension(const std::string& extension)
{
    const std::string lower = lowercased(extension);
    if (archiveExtensions.contains(lower))
        return FileCategory::archive;
    if (dataExtensions.contains(lower))
        return FileCategory::data;
    if (const auto registered = categoryOfRegisteredType(lower))
        return *registered;
    if (cameraRawExtensions.contains(lower))
        return FileCategory::image;
    return FileCategory::other;
}

} // namespace vantory
