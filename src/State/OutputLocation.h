#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

// Where output folders go.
enum class OutputLocation { sameFolder, desktop, downloads };

inline constexpr std::array<OutputLocation, 3> allOutputLocations = {OutputLocation::sameFolder, OutputLocation::desktop,
                                                                     OutputLocation::downloads};

std::string rawValue(OutputLocation location); // "sameFolder", "desktop", "downloads"
std::optional<OutputLocation> outputLocationFromRawValue(const std::string& raw);
std::string label(OutputLocation location); // the menu text

// The base folder for the output of a run whose first input is `file`. Desktop and
// Downloads are the XDG user folders when they exist, else the file's own folder. When
// `file` or one of `otherInputs` is a folder that is or holds the chosen base folder, the
// parent of that folder instead, so no output lands inside what was dropped.
std::filesystem::path resolve(OutputLocation location, const std::filesystem::path& file,
                              const std::vector<std::filesystem::path>& otherInputs = {});

} // namespace vantory
