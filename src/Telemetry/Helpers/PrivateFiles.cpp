#include "Telemetry/Helpers/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory::PrivateFiles {

namespace {

constexpr mode_t privateFolderMode = 0700;
constexpr mode_t privateFileMode = 0600;

// Sets `mode` on what `fd` refers to when it is of `type`, then closes `fd`.
void narrowAndClose(int fd, mode_t type, mode_t mode)
{
    if (fd < 0)
        return;
    struct stat status { };
    if (fstat(fd, &status) == 0 && (status.st_mode & S_IFMT) == type && (status.st_mode & 07777) != mode)
        fchmod(fd, mode);
    close(fd);
}

} // namespace

bool ensureFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!folder.parent_path().empty())
        std::filesystem::create_directories(folder.parent_path(), error);
    if (mkdir(folder.c_str(), privateFolderMode) != 0 && errno != EEXIST)
        return false;
    narrowAndClose(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), S_IFDIR, privateFolderMode);
    return std::filesystem::is_directory(folder, error);
}

void ensureFile(const std::filesystem::path& file)
{
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // Without blocking on a pipe and without following a link.
    narrowAndClose(open(file.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, privateFileMode),
                   S_IFREG, privateFileMode);
}

} // namespace vantory::PrivateFiles
