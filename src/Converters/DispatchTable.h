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
    std::string password; // "" when none was given
    std::filesystem::path outputFolder;
    std::stop_token stop; // set when the batch is cancelled; long operations may stop early
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

using WholeBatchOperation = std::function<void(const WholeBatchJob&)>;

// Action id -> processor operation. Each processor declares its own rows; an id may have
// both a file row and a whole-batch row, but only from one processor.
struct DispatchTable {
    std::map<std::string, FileOperation> fileOperations;
    std::map<std::string, WholeBatchOperation> wholeBatchOperations;

    bool isWholeBatch(const std::string& actionId) const { return wholeBatchOperations.contains(actionId); }
    bool hasRow(const std::string& actionId) const;

    // Adds every row of `other`. Throws std::logic_error, and adds nothing, when `other`
    // has a row for an id this table already routes.
    void join(DispatchTable other);

    // The rows of every processor this build has.
    static DispatchTable standard();
};

} // namespace vantory
