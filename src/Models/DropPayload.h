#pragma once

#include "Models/CategoryGroup.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantory {

class PayloadProbeCache;

// One drop, immutable once built. Copies share one cache of the slow file probes
// (the ZIP password test, the text test), so each runs at most once per payload and
// a copy can be read on another thread.
class DropPayload {
public:
    static DropPayload from(const std::vector<std::filesystem::path>& urls);

    std::vector<std::filesystem::path> urls;
    std::vector<std::string> extensions;
    bool isBatch = false;
    std::vector<CategoryGroup> groups;
    bool isHighlyMixed = false;
    std::string label;
    std::string icon;
    std::optional<std::string> outlierNote;
    bool isEncryptedPDF = false;
    bool isEncryptedZIP = false;

    // Whether the archive at `url` needs a password (unzip exits with 82 on an empty one).
    // Asked once per payload and path; a probe that cannot run or finish counts as no.
    bool archiveNeedsPassword(const std::filesystem::path& url) const;
    // Whether the file at `url` reads as UTF-8 text made only of Base64-like characters.
    bool looksLikeBase64Text(const std::filesystem::path& url) const;

    bool operator==(const DropPayload& other) const;

private:
    std::shared_ptr<PayloadProbeCache> probes_;
};

} // namespace vantory
