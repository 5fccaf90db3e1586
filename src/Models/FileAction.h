#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantory {

// One output format offered under a convert action ("to_png", "png", "PNG").
struct ConversionTarget {
    std::string id;
    std::string format;
    std::string label;

    bool operator==(const ConversionTarget&) const = default;
};

// One offered action; two actions with the same id are the same action.
struct FileAction {
    std::string id;
    std::string title;
    std::string icon;
    std::vector<ConversionTarget> subOptions;
    bool disabled = false;
    std::optional<std::string> disabledReason;

    bool operator==(const FileAction& other) const { return id == other.id; }
};

} // namespace vantory
