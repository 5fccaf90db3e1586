#include "Platform/AppTemporaryFolder.h"

#include "Platform/PlatformError.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory::AppTemporaryFolder {

namespace fs = std::filesystem;

namespace {

PlatformError refused(const fs::path& folder, const std::string& reason)
{
    return PlatformError("The temporary folder \u201C" + folder.string() + "\u201D wasn\u2019t used because " + reason + ".");
}

// Why `folder`, which could not be opened as a folder without following links, is refused.
PlatformError openingFailure(const fs::path& folder, int openError)
{
    struct stat status { };
    if (lstat(folder.c_str(), &status) == 0) {
        if (S_ISLNK(status.st_mode))
            return refused(folder, "it is a symbolic link");
        if (!S_ISDIR(status.st_mode))
            return refused(folder, "it is not a folder");
    }
    return PlatformError::fromErrno(openError, folder);
}

class OpenFolder {
public:
    explicit OpenFolder(const fs::path& folder)
        : descriptor_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC))
    {
        if (descriptor_ < 0)
            throw openingFailure(folder, errno);
    }
    ~OpenFolder() { close(descriptor_); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

} // namespace

fs::path location()
{
    return fs::temp_directory_path() / ("vantory-" + std::to_string(getuid()));
}

fs::path ensure()
{
    const fs::path folder = location();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw PlatformError::fromErrno(errno, folder);
    // Checked on the opened folder, so nothing can be swapped in between the check and its use.
    const OpenFolder opened(folder);
    struct stat status { };
    if (fstat(opened.descriptor(), &status) != 0)
        throw PlatformError::fromErrno(errno, folder);
    if (status.st_uid != getuid())
        throw refused(folder, "it belongs to another user");
    if ((status.st_mode & 077) != 0 && fchmod(opened.descriptor(), 0700) != 0)
        throw PlatformError::fromErrno(errno, folder);
    return folder;
}

fs::path makePrivateFolder(const std::string& prefix)
{
    const fs::path parent = ensure();
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw PlatformError::fromErrno(errno, parent);
    return pattern;
}

} // namespace vantory::AppTemporaryFolder
