#include "Converters/OutputFileStorage.h"

#include "Platform/PathNames.h"
#include "Platform/Utf8Text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vantory::OutputFileStorage {

std::unique_ptr<char[]> takeBuffer(std::size_t size)
{
    return std::make_unique_for_overwrite<char[]>(size);
}

void giveBackBuffer(std::unique_ptr<char[]>)
{
}

// "." + the final name + "." + eight hex digits + ".tmp", with the final name shortened
// as far as the hidden name needs to fit: it fits wherever the final name fits.
std::filesystem::path temporaryPathFor(const std::filesystem::path& finalPath)
{
    const std::string suffix = "." + randomNamePart() + ".tmp";
    const std::filesystem::path folder = finalPath.parent_path();
    const std::size_t overhead = 1 + suffix.size();
    const std::size_t room = std::max(longestNameIn(folder), overhead) - overhead;
    const std::string name = finalPath.filename().string();
    return folder / ("." + std::string(utf8::prefix(name, room)) + suffix);
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
