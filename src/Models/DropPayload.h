#pragma once

#include "Models/CategoryGroup.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantory {

// One drop, immutable once built, so any thread may read a copy. Building it runs
// every slow file probe the action card may need (qpdf, unzip, reading text files);
// afterwards the payload only tells what they found.
class DropPayload {
public:
    // Slow: keep it off the UI thread.
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

    // Whether the archive at `path` needed a password when the payload was built (unzip
    // exits with 82 on an empty one). Only the single archive and the first ZIP of a batch's
    // archives are probed; any other path, and a probe that could not run or finish, is no.
    bool archiveNeedsPassword(const std::filesystem::path& path) const;
    // Whether the file at `path` read as UTF-8 text made only of Base64-like characters when
    // the payload was built. Only the first file of a group holding a .txt file is read.
    bool looksLikeBase64Text(const std::filesystem::path& path) const;

    bool operator==(const DropPayload& other) const;

private:
    void probeWhatTheActionsAsk();

    std::set<std::filesystem::path> protectedArchives_;
    std::set<std::filesystem::path> base64Texts_;
};

} // namespace vantory
