#pragma once

#include "Models/FileCategory.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vantory {

// One category of a drop: its items in drop order and, per item, its lower-case
// extension or the word "folder" for a directory.
struct CategoryGroup {
    FileCategory category = FileCategory::other;
    std::vector<std::filesystem::path> urls;
    std::vector<std::string> extensions;

    int count() const { return static_cast<int>(urls.size()); }
    std::string label() const; // "3 Images", "1 Images"
    std::string icon() const { return iconName(category); }

    bool operator==(const CategoryGroup&) const = default;
};

} // namespace vantory
