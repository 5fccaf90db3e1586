#include "Platform/ImageMagickStartup.h"

#include "Platform/AppTemporaryFolder.h"

#include <magick/MagickCore.h>

#include <cstdlib>
#include <system_error>

namespace vantory::ImageMagickStartup {

namespace {

constexpr MagickSizeType mebibyte = 1 << 20;

// A pixel cache past the memory limit goes to a mapped file, then to a plain file; past
// the disk limit the read fails. Larger pictures are refused before they reach
// ImageMagick.
struct Limit {
    ResourceType resource;
    MagickSizeType value;
};
constexpr Limit limits[] = {
    {MemoryResource, 256 * mebibyte},
    {MapResource, 512 * mebibyte},
    {DiskResource, 1024 * mebibyte},
    {AreaResource, 128'000'000},
    {WidthResource, 65535},
    {HeightResource, 65535},
    // A Photoshop document's layers are images of their own; only the merged picture is read.
    {ListLengthResource, 1024},
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
