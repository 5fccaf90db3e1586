#include "Platform/InputFile.h"

#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/Utf8Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory {

InputFileDescriptor::InputFileDescriptor(const std::filesystem::path& path)
    : fd_(::open(withoutTrailingSlash(path).c_str(), O_RDONLY | O_CLOEXEC))
{
    if (fd_ < 0)
        throw PlatformError::fromErrno(errno, path);
}

InputFileDescriptor::~InputFileDescriptor()
{
    ::close(fd_);
}

namespace {

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a device";
}

} // namespace

void refuseIfNotAFile(const std::filesystem::path& path, bool folderTaken)
{
    struct stat info { };
    if (::stat(withoutTrailingSlash(path).c_str(), &info) != 0)
        return;
    if (S_ISREG(info.st_mode) || (folderTaken && S_ISDIR(info.st_mode)))
        return;
    throw PlatformError(quotedName(path) + " is " + kindOf(info.st_mode) + ", not a file"
                        + (folderTaken ? " or a folder" : "") + ", so it was left alone.");
}

// Reads to the end; the size from fstat is only a hint, so a file that grows or
// shrinks while being read is still read whole.
std::string readOpenFile(int fd, const std::filesystem::path& url)
{
    struct stat info { };
    std::string bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    if (bytes.size() < 65536)
        bytes.resize(65536);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw PlatformError::fromErrno(errno, url);
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return bytes;
}

std::string readFileBytes(const std::filesystem::path& url)
{
    const InputFileDescriptor file(url);
    return readOpenFile(file.get(), url);
}

std::string_view utf8Text(std::string_view bytes, const std::filesystem::path& url)
{
    if (!isValidUTF8(bytes))
        throw PlatformError("The file " + quotedName(url)
                            + " couldn\u2019t be opened because the text encoding of its contents can\u2019t be determined.");
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return bytes;
}

std::string readUTF8File(const std::filesystem::path& url)
{
    std::string text = readFileBytes(url);
    const std::size_t byteOrderMark = text.size() - utf8Text(text, url).size();
    text.erase(0, byteOrderMark);
    return text;
}

} // namespace vantory
