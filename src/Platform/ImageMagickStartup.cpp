#include "Platform/ImageMagickStartup.h"

#include "Platform/AppTemporaryFolder.h"

#include <magick/MagickCore.h>

#include <cstdlib>
#include <system_error>

namespace vantory::ImageMagickStartup {

namespace {

constexpr MagickSizeType mebibyte = 1 << 20;

// Pixel caches past the memory limit go to mapped memory, then to files in the temporary
// folder; past the disk limit the read fails. Pictures too large for the job are refused
// before they reach ImageMagick; these bound what a document of many layers can take.
struct Limit {
    ResourceType resource;
    MagickSizeType value;
};
constexpr Limit limits[] = {
    {MemoryResource, 256 * mebibyte},
    {MapResource, 128 * mebibyte},
    {DiskResource, 1024 * mebibyte},
    {AreaResource, 128'000'000},
    {WidthResource, 65535},
    {HeightResource, 65535},
    // Every layer of a Photoshop document is read as an image of its own; Photoshop itself
    // makes at most 8000.
    {ListLengthResource, 8000},
};

std::filesystem::path& folder()
{
    static std::filesystem::path path;
    return path;
}

void removeFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder(), ignored);
}

} // namespace

void start()
{
    static const bool started = [] {
        folder() = AppTemporaryFolder::makePrivateFolder("imagemagick-");
        std::atexit(removeFolder);
        MagickCoreGenesis("vantory", MagickFalse);
        for (const Limit& limit : limits)
            SetMagickResourceLimit(limit.resource, limit.value);
        ExceptionInfo* exception = AcquireExceptionInfo();
        SetImageRegistry(StringRegistryType, "temporary-path", folder().c_str(), exception);
        DestroyExceptionInfo(exception);
        return true;
    }();
    (void)started;
}

std::filesystem::path temporaryFolder()
{
    return folder();
}

} // namespace vantory::ImageMagickStartup
