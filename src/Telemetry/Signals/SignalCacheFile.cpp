#include "Telemetry/Signals/SignalCacheFile.h"

#include "Telemetry/Helpers/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory::SignalCacheFile {

namespace {

Reading discarded(std::string reason)
{
    Reading reading;
    reading.outcome = Reading::Outcome::discarded;
    reading.discardReason = std::move(reason);
    return reading;
}

std::string tooLarge()
{
    return "it is larger than " + std::to_string(maximumBytes) + " bytes";
}

// Up to `limit` + 1 bytes, so a file that grew past the limit shows it. None on a read error.
std::optional<std::string> readAtMost(int fd, std::uintmax_t limit)
{
    std::string data;
    char buffer[64 * 1024];
    while (data.size() <= limit) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(count));
    }
    return data;
}

Reading readOpenFile(int fd)
{
    struct stat status { };
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return discarded("it is not a regular file");
    if (static_cast<std::uintmax_t>(status.st_size) > maximumBytes)
        return discarded(tooLarge());
    const auto data = readAtMost(fd, maximumBytes);
    if (!data)
        return discarded("it cannot be read");
    if (data->size() > maximumBytes)
        return discarded(tooLarge());

    auto cached = SignalPostBodyCoding::fromCacheJson(*data);
    if (!cached)
        return discarded("it is not a list of signals");
    Reading reading;
    reading.outcome = Reading::Outcome::loaded;
    reading.records = std::move(cached->records);
    reading.outOfRangeDates = cached->outOfRangeDates;
    return reading;
}

// A link, a pipe or a folder goes as a whole; a link's target stays.
void removeEntry(const std::filesystem::path& path)
{
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

} // namespace

Reading take(const std::filesystem::path& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return {};
    Reading reading = fd < 0 ? discarded(errno == ELOOP ? "it is not a regular file" : "it cannot be read") : readOpenFile(fd);
    if (fd >= 0)
        close(fd);
    removeEntry(path);
    return reading;
}

bool replace(const std::filesystem::path& path, std::string_view data)
{
    if (!PrivateFiles::ensureFolder(path.parent_path()))
        return false;
    std::string temporary = path.string() + ".XXXXXX";
    // Created 0600 and never through a link.
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = true;
    for (std::size_t done = 0; written && done < data.size();) {
        const ssize_t count = write(fd, data.data() + done, data.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        written = count > 0;
        if (written)
            done += static_cast<std::size_t>(count);
    }
    written = written && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    // rename replaces a link, a pipe or a file at `path` itself; a folder must go first.
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        removeEntry(path);
        written = rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!written)
        unlink(temporary.c_str());
    return written;
}

} // namespace vantory::SignalCacheFile
