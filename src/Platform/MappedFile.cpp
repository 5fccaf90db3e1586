#include "Platform/MappedFile.h"

#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory {

MappedFile::MappedFile(const std::filesystem::path& path)
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
        }
    }
    // Pipes and devices cannot be mapped; they are read whole instead, through the
    // descriptor already open: a pipe opened a second time would lose what was written
    // between the two opens.
    if (error == 0 && !S_ISREG(info.st_mode)) {
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
    if (address_)
        ::munmap(address_, size_);
}

} // namespace vantory
