#include "Converters/OutputFile.h"

#include "Converters/OutputFileStorage.h"
#include "Platform/PlatformError.h"

#include <cstring>

namespace vantory {

OutputFile::OutputFile(std::filesystem::path finalPath, Mode mode)
    : finalPath_(std::move(finalPath)),
      mode_(mode),
      writingPath_(mode == Mode::atomic ? OutputFileStorage::temporaryPathFor(finalPath_) : finalPath_),
      buffer_(OutputFileStorage::takeBuffer(bufferSize))
{
    // Claiming the name at once makes a taken name fail before any work is done.
    if (mode_ == Mode::direct)
        open();
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        OutputFileStorage::close(fd_);
    if (created_ && !committed_)
        OutputFileStorage::remove(writingPath_);
    OutputFileStorage::giveBackBuffer(std::move(buffer_));
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
    // An empty view may have no data at all, and memcpy must never see a null pointer.
    if (bytes.empty())
        return;
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
    if (mode_ == Mode::atomic)
        check(OutputFileStorage::move(writingPath_, finalPath_));
    committed_ = true;
}

void OutputFile::open()
{
    check(OutputFileStorage::create(writingPath_, fd_));
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
    check(OutputFileStorage::writeAll(fd_, bytes, size));
}

void OutputFile::close()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    check(OutputFileStorage::close(fd));
}

void OutputFile::check(int error)
{
    if (error != 0)
        throw PlatformError::fromErrno(error, finalPath_);
}

} // namespace vantory
