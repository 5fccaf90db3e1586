#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vantory {

// One file of a batch, as handed to a processor operation.
struct FileJob {
    std::filesystem::path url;
    std::optional<std::string> targetFormat;
    std::string password;   // "" when none was given
    std::filesystem::path outputFolder;
    std::stop_token stop;   // set when the batch is cancelled; long operations may stop early
};

// All files of a whole-batch action in one call.
struct WholeBatchJob {
    std::vector<std::filesystem::path> urls;
    std::string password;
    std::filesystem::path outputFolder;
    std::stop_token stop;
};

// Where an operation runs: the synchronous processors one at a time on the router's
// serial executor; media operations on the shared pool, overlapping with the rest.
enum class Lane { serial, pooled };

struct FileOperation {
    Lane lane = Lane::serial;
    std::function<void(const FileJob&)> run;
};

// Action id -> processor operation. Later processors only add rows.
struct DispatchTable {
    std::map<std::string, FileOperation> fileOperations;
    std::map<std::string, std::function<void(const WholeBatchJob&)>> wholeBatchOperations;

    bool isWholeBatch(const std::string& actionId) const { return wholeBatchOperations.contains(actionId); }

    // The rows of every processor this build has.
    static DispatchTable standard();
};

} // namespace vantory
