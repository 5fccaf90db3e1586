#include "Platform/MappedFile.h"

#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/ShrinkingFileGuard.h"

#include <cerrno>
#include <sys/mman.h>
#include <sys/stat.h>

namespace vantory {

MappedFile::MappedFile(const std::filesystem::path& path) : path_(path)
{
    const InputFileDescriptor file(path);
    struct stat info { };
    if (::fstat(file.get(), &info) != 0)
        throw PlatformError::fromErrno(errno, path);
    if (S_ISDIR(info.st_mode))
        throw PlatformError::fromErrno(EISDIR, path);
    if (S_ISREG(info.st_mode) && info.st_size > 0 && map(file.get(), static_cast<std::size_t>(info.st_size)))
        return;
    // Pipes and devices cannot be mapped; they are read whole instead, through the
    // descriptor already open: a pipe opened a second time would lose what was written
    // between the two opens. So is a file when too many are mapped at once.
    if (!S_ISREG(info.st_mode) || info.st_size > 0)
        unmappable_ = readOpenFile(file.get(), path);
}

bool MappedFile::map(int fd, std::size_t size)
{
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (address == MAP_FAILED)
        throw PlatformError::fromErrno(errno, path_);
    watchSlot_ = ShrinkingFileGuard::watch(address, size);
    if (watchSlot_ < 0) { // unwatched, a shortened file would end the process
        ::munmap(address, size);
        return false;
    }
    ::madvise(address, size, MADV_SEQUENTIAL);
    address_ = address;
    size_ = size;
    return true;
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
