// The fuzz targets' OutputFile: the same buffering as the real one, but the files are
// kept in memory and the 1 MiB buffers are reused. A fresh buffer and a file created and
// removed for every input cost far more than most readers take for the input itself.
#include "Converters/OutputFile.h"
#include "FuzzSupport.h"
#include "Platform/PlatformError.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

namespace vantory {

namespace {

std::map<std::filesystem::path, std::string>& files()
{
    static std::map<std::filesystem::path, std::string> files;
    return files;
}

std::vector<std::unique_ptr<char[]>>& spareBuffers()
{
    static std::vector<std::unique_ptr<char[]>> buffers;
    return buffers;
}

std::unique_ptr<char[]> takeBuffer()
{
    auto& spare = spareBuffers();
    if (spare.empty())
        return std::make_unique_for_overwrite<char[]>(OutputFile::bufferSize);
    std::unique_ptr<char[]> buffer = std::move(spare.back());
    spare.pop_back();
    return buffer;
}

// An open file is marked by any descriptor >= 0.
constexpr int openMark = 1;

} // namespace

OutputFile::OutputFile(std::filesystem::path finalPath, Mode mode)
    : finalPath_(std::move(finalPath)),
      mode_(mode),
      writingPath_(mode == Mode::atomic ? std::filesystem::path(finalPath_.string() + ".tmp") : finalPath_),
      buffer_(takeBuffer())
{
    if (mode_ == Mode::direct)
        open();
}

OutputFile::~OutputFile()
{
    if (created_ && !committed_)
        files().erase(writingPath_);
    spareBuffers().push_back(std::move(buffer_));
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
        return;
    if (bufferSize - used_ < bytes.size())
        flush();
    if (bytes.size() >= bufferSize) {
        writeFully(bytes.data(), bytes.size());
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
    if (mode_ == Mode::atomic) {
        auto written = files().extract(writingPath_);
        if (written.empty())
            fail(ENOENT);
        written.key() = finalPath_;
        if (!files().insert(std::move(written)).inserted)
            fail(EEXIST);
    }
    committed_ = true;
}

void OutputFile::open()
{
    if (!files().emplace(writingPath_, std::string()).second)
        fail(EEXIST);
    fd_ = openMark;
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
    files()[writingPath_].append(bytes, size);
}

void OutputFile::close()
{
    fd_ = -1;
}

void OutputFile::fail(int error)
{
    throw PlatformError::fromErrno(error, finalPath_);
}

std::string fuzz::takeWrittenFile(const std::filesystem::path& path)
{
    auto file = files().extract(path);
    if (file.empty())
        std::abort();
    return std::move(file.mapped());
}

} // namespace vantory
