#pragma once

#include <array>
#include <optional>
#include <string>

namespace vantory {

// The category of a dropped item. The declaration order is the comparison order.
enum class FileCategory { image, video, audio, document, data, archive, folder, other };

inline constexpr std::array<FileCategory, 8> allFileCategories = {
    FileCategory::image, FileCategory::video,   FileCategory::audio,  FileCategory::document,
    FileCategory::data,  FileCategory::archive, FileCategory::folder, FileCategory::other};

std::string rawValue(FileCategory category); // "image", "video", ...
std::optional<FileCategory> fileCategoryFromRawValue(const std::string& raw);
std::string pluralName(FileCategory category); // "Images", "Data Files", ...
std::string iconName(FileCategory category); // "photo.fill", ...

// Chosen from a file extension (any case); never fails.
FileCategory fileCategoryFromExtension(const std::string& extension);

} // namespace vantory
