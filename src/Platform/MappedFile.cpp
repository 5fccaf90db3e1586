#include "Platform/MappedFile.h"

#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/ShrinkingFileGuard.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory {

MappedFile::MappedFile(const std::filesystem::path& path)
    : path_(path)
{
    const int fd = ::open(withoutTrailingSlash(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw PlatformError::fromErrno(errno, path);
    struct stat info { };
    int error = ::fstat(fd, &info) == 0 ? 0 : errno;
    if (error == 0 && S_ISDIR(info.st_mode))
        error = EISDIR;
    if (error == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        size_ = static_cast<std::size_t>(info.st_size);
        address_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (address_ == MAP_FAILED) {
            error = errno;
            address_ = nullptr;
            size_ = 0;
        } else {
            ::madvise(address_, size_, MADV_SEQUENTIAL);
            watchSlot_ = ShrinkingFileGuard::watch(address_, size_);
        }
    }
    if (address_ && watchSlot_ < 0) { // unwatched, a shortened file would end the process
        ::munmap(address_, size_);
        address_ = nullptr;
        size_ = 0;
    }
    // Pipes and devices cannot be mapped; they are read whole instead, through the
    // descriptor already open: a pipe opened a second time would lose what was written
    // between the two opens. So is a file when too many are mapped at once.
    if (error == 0 && !address_ && (!S_ISREG(info.st_mode) || info.st_size > 0)) {
        try {
            unmappable_ = readOpenFile(fd, path);
        } catch (...) {
            ::close(fd);
            throw;
        }
    }
    ::close(fd);
    if (error != 0)
        throw PlatformError::fromErrno(error, path);
}

MappedFile::~MappedFile()
{
    if (!address_)
        return;
    ShrinkingFileGuard::release(watchSlot_);
    ::munmap(address_, size_);
}

void MappedFile::throwIfCutShort() const
{
    if (address_ && ShrinkingFileGuard::cutShort(watchSlot_))
        throw PlatformError("The file " + quotedName(path_) + " was shortened while it was being read.");
}

} // namespace vantory
