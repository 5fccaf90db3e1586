#pragma once

#include "Models/DropPayload.h"
#include "Models/FileAction.h"
#include "State/ActionCapabilities.h"

#include <optional>

namespace vantory {

// Decides which actions the action card offers for the group the user is looking at.
struct ActionResolver {
    std::optional<DropPayload> payload;
    std::optional<CategoryGroup> activeGroup;
    std::optional<FileCategory> activeTab;
    ActionCapabilities capabilities = ActionCapabilities::current();

    std::vector<FileAction> suggestedActions() const;

    static std::vector<ConversionTarget> imageTargets(const std::optional<std::string>& excluding,
                                                      const ActionCapabilities& capabilities);
    static std::vector<ConversionTarget> videoTargets(const std::optional<std::string>& excluding);
    static std::vector<ConversionTarget> audioTargets(const std::optional<std::string>& excluding);
    static std::vector<ConversionTarget> extractAudioTargets();
    // OutputNaming::normalize, except that "tif" stays "tif".
    static std::string normalize(const std::string& extension);
};

} // namespace vantory
