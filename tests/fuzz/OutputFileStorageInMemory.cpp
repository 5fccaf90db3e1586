// The fuzz targets' output file storage: the files are kept in memory and the buffers
// are reused. A fresh 1 MiB buffer and a file created and removed for every input cost
// far more than most readers take for the input itself.
#include "Converters/OutputFileStorage.h"
#include "FuzzSupport.h"

#include <cerrno>
#include <climits>
#include <map>
#include <string>
#include <vector>

namespace vantory {

namespace {

std::map<std::filesystem::path, std::string>& files()
{
    static std::map<std::filesystem::path, std::string> files;
    return files;
}

// The file behind each open handle.
std::map<int, std::filesystem::path>& openFiles()
{
    static std::map<int, std::filesystem::path> open;
    return open;
}

std::vector<std::unique_ptr<char[]>>& spareBuffers()
{
    static std::vector<std::unique_ptr<char[]>> buffers;
    return buffers;
}

} // namespace

namespace OutputFileStorage {

std::unique_ptr<char[]> takeBuffer(std::size_t size)
{
    auto& spare = spareBuffers();
    if (spare.empty())
        return std::make_unique_for_overwrite<char[]>(size);
    std::unique_ptr<char[]> buffer = std::move(spare.back());
    spare.pop_back();
    return buffer;
}

void giveBackBuffer(std::unique_ptr<char[]> buffer)
{
    spareBuffers().push_back(std::move(buffer));
}

std::filesystem::path temporaryPathFor(const std::filesystem::path& finalPath)
{
    return finalPath.string() + ".tmp";
}

int create(const std::filesystem::path& path, int& handle)
{
    handle = -1;
    if (!files().emplace(path, std::string()).second)
        return EEXIST;
    static int lastHandle = 0;
    lastHandle = lastHandle == INT_MAX ? 1 : lastHandle + 1;
    handle = lastHandle;
    openFiles()[handle] = path;
    return 0;
}

int writeAll(int handle, const char* bytes, std::size_t size)
{
    files()[openFiles().at(handle)].append(bytes, size);
    return 0;
}

int close(int handle)
{
    openFiles().erase(handle);
    return 0;
}

int move(const std::filesystem::path& from, const std::filesystem::path& to)
{
    auto written = files().extract(from);
    if (written.empty())
        return ENOENT;
    written.key() = to;
    return files().insert(std::move(written)).inserted ? 0 : EEXIST;
}

void remove(const std::filesystem::path& path)
{
    files().erase(path);
}

} // namespace OutputFileStorage

std::string fuzz::takeWrittenFile(const std::filesystem::path& path)
{
    auto file = files().extract(path);
    if (file.empty())
        std::abort();
    return std::move(file.mapped());
}

} // namespace vantory
