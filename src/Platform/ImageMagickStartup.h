#pragma once

#include <filesystem>

// ImageMagick, which libvips calls for the few formats it has no reader of its own for,
// started with limits of ours rather than whatever the machine's policy says: its pixel
// caches are bounded in memory and on disk, and the files it spills to disk go into a
// folder of this process inside the app's temporary folder, removed when the process ends.
namespace vantory::ImageMagickStartup {

// Starts ImageMagick before libvips does, once per process; libvips then finds it started.
// Throws PlatformError when the app's temporary folder is refused.
void start();

// Where ImageMagick puts its temporary files (empty before start()).
std::filesystem::path temporaryFolder();

} // namespace vantory::ImageMagickStartup
