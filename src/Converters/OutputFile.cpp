#include "Converters/OutputFile.h"

#include "Platform/PlatformError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace vantory {

namespace {

std::filesystem::path hiddenSibling(const std::filesystem::path& finalPath)
{
    std::random_device random;
    char suffix[9];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return finalPath.parent_path() / ("." + finalPath.filename().string() + "." + suffix + ".tmp");
}

} // namespace

OutputFile::OutputFile(std::filesystem::path finalPath, Mode mode)
    : finalPath_(std::move(finalPath)),
      mode_(mode),
      writingPath_(mode == Mode::atomic ? hiddenSibling(finalPath_) : finalPath_),
      buffer_(std::make_unique_for_overwrite<char[]>(bufferSize))
{
    // Claiming the name at once makes a taken name fail before any work is done.
    if (mode_ == Mode::direct)
        open();
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (created_ && !committed_)
        ::unlink(writingPath_.c_str());
}

const std::filesystem::path& OutputFile::pathForLibrary()
{
    close();
    created_ = true;
    writtenByLibrary_ = true;
    return writingPath_;
}

void OutputFile::append(std::string_view bytes)
{
    if (bytes.empty())
        return; // an empty view may carry a null pointer, which memcpy must not get
    if (bufferSize - used_ < bytes.size())
        flush();
    if (bytes.size() >= bufferSize) {
        writeFully(bytes.data(), bytes.size()); // large blocks go straight to the file
        return;
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void OutputFile::commit()
{
    if (!writtenByLibrary_) {
        flush();
        close();
    }
    if (mode_ == Mode::atomic && ::rename(writingPath_.c_str(), finalPath_.c_str()) != 0)
        fail(errno);
    committed_ = true;
}

void OutputFile::open()
{
    fd_ = ::open(writingPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0)
        fail(errno);
    created_ = true;
}

void OutputFile::flush()
{
    const std::size_t size = used_;
    used_ = 0;
    writeFully(buffer_.get(), size);
}

void OutputFile::writeFully(const char* bytes, std::size_t size)
{
    if (fd_ < 0)
        open();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd_, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void OutputFile::close()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno);
}

void OutputFile::fail(int error)
{
    throw PlatformError::fromErrno(error, finalPath_);
}

} // namespace vantory
