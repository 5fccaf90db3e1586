#pragma once

#include <filesystem>
#include <string_view>

namespace vantory {

// An output file written under a hidden temporary name beside its final one and
// moved into place by commit(), so a failed or interrupted write never leaves a
// half-written file under the name the user sees. Without commit() the temporary
// file is removed.
class PendingOutputFile {
public:
    explicit PendingOutputFile(std::filesystem::path finalPath);
    ~PendingOutputFile();
    PendingOutputFile(const PendingOutputFile&) = delete;
    PendingOutputFile& operator=(const PendingOutputFile&) = delete;

    const std::filesystem::path& finalPath() const { return finalPath_; }
    // Where a library that writes files itself should write.
    const std::filesystem::path& temporaryPath() const { return temporaryPath_; }

    // Adds bytes to the temporary file; throws PlatformError naming the final file.
    void append(std::string_view bytes);
    // Moves the temporary file to the final name; throws PlatformError when that fails.
    void commit();

private:
    void closeFile();

    std::filesystem::path finalPath_;
    std::filesystem::path temporaryPath_;
    int descriptor_ = -1;
    bool committed_ = false;
};

} // namespace vantory
