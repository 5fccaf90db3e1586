#include "Converters/OutputFileStorage.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace vantory::OutputFileStorage {

std::unique_ptr<char[]> takeBuffer(std::size_t size)
{
    return std::make_unique_for_overwrite<char[]>(size);
}

void giveBackBuffer(std::unique_ptr<char[]>)
{
}

std::filesystem::path temporaryPathFor(const std::filesystem::path& finalPath)
{
    std::random_device random;
    char suffix[9];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return finalPath.parent_path() / ("." + finalPath.filename().string() + "." + suffix + ".tmp");
}

int create(const std::filesystem::path& path, int& handle)
{
    handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return handle < 0 ? errno : 0;
}

int writeAll(int handle, const char* bytes, std::size_t size)
{
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(handle, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int close(int handle)
{
    return ::close(handle) == 0 ? 0 : errno;
}

int move(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void remove(const std::filesystem::path& path)
{
    ::unlink(path.c_str());
}

} // namespace vantory::OutputFileStorage
