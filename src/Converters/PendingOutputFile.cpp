#include "Converters/PendingOutputFile.h"

#include "Platform/PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace vantory {

PendingOutputFile::PendingOutputFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)),
      temporaryPath_(finalPath_.parent_path() / ("." + finalPath_.filename().string() + ".partial"))
{
}

PendingOutputFile::~PendingOutputFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    if (committed_)
        return;
    std::error_code ignored;
    std::filesystem::remove(temporaryPath_, ignored);
}

void PendingOutputFile::append(std::string_view bytes)
{
    if (descriptor_ < 0) {
        descriptor_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (descriptor_ < 0)
            throw PlatformError::fromErrno(errno, finalPath_);
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throw PlatformError::fromErrno(errno, finalPath_);
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}

void PendingOutputFile::closeFile()
{
    if (descriptor_ < 0)
        return;
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    if (result != 0)
        throw PlatformError::fromErrno(errno, finalPath_);
}

void PendingOutputFile::commit()
{
    closeFile();
    std::error_code error;
    std::filesystem::rename(temporaryPath_, finalPath_, error);
    if (error)
        throw PlatformError::fromErrno(error.value(), finalPath_);
    committed_ = true;
}

} // namespace vantory
