#pragma once

#include <filesystem>
#include <functional>

namespace vantory {

// Runs `operation` on the file `url`, letting ConversionError and PlatformError through
// and turning any other exception (qpdf, poppler, vips, the file system, memory) into
// a PlatformError with one readable sentence naming the file.
void translatingLibraryErrors(const std::filesystem::path& url, const std::function<void()>& operation);

} // namespace vantory
