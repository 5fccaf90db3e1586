#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vantory {

// The desktop services a run uses: free space, showing a folder, the Trash.
// freeSpace and moveToTrash are called on worker threads, openFolder on the UI thread.
class RunEnvironment {
public:
    virtual ~RunEnvironment() = default;
    // Bytes free on the volume of `folder` (or of its nearest existing parent); none when it cannot be asked.
    virtual std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) = 0;
    virtual void openFolder(const std::filesystem::path& folder) = 0;
    virtual bool moveToTrash(const std::filesystem::path& file) = 0;
};

// The real services: statvfs, the desktop's file browser, the freedesktop Trash.
class DesktopRunEnvironment final : public RunEnvironment {
public:
    std::optional<std::uint64_t> freeSpace(const std::filesystem::path& folder) override;
    void openFolder(const std::filesystem::path& folder) override;
    bool moveToTrash(const std::filesystem::path& file) override;

    static DesktopRunEnvironment& shared();
};

} // namespace vantory
