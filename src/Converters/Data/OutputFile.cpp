#include "Converters/Data/OutputFile.h"

#include "Platform/PlatformError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace vantory::data {

namespace {

constexpr std::size_t bufferSize = 1 << 20;

std::filesystem::path hiddenSibling(const std::filesystem::path& destination)
{
    std::random_device random;
    char suffix[9];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return destination.parent_path() / ("." + destination.filename().string() + "." + suffix + ".tmp");
}

} // namespace

OutputFile::OutputFile(std::filesystem::path destination, Mode mode)
    : destination_(std::move(destination)), mode_(mode), buffer_(bufferSize)
{
    writingPath_ = mode_ == Mode::atomic ? hiddenSibling(destination_) : destination_;
    fd_ = ::open(writingPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw PlatformError::fromErrno(errno, destination_);
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(writingPath_.c_str());
}

void OutputFile::append(std::string_view bytes)
{
    if (buffer_.size() - used_ < bytes.size())
        flush();
    if (bytes.size() >= buffer_.size()) {
        writeFully(bytes.data(), bytes.size()); // large blocks go straight to the file
        return;
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void OutputFile::flush()
{
    const std::size_t size = used_;
    used_ = 0;
    writeFully(buffer_.data(), size);
}

void OutputFile::writeFully(const char* bytes, std::size_t size)
{
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

void OutputFile::commit()
{
    flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (mode_ == Mode::atomic && ::rename(writingPath_.c_str(), destination_.c_str()) != 0)
        fail(errno);
    committed_ = true;
}

void OutputFile::fail(int error)
{
    throw PlatformError::fromErrno(error, destination_);
}

} // namespace vantory::data
