#pragma once

#include <filesystem>
#include <functional>

namespace vantory {

// The one boundary between a processor and the libraries and system calls it uses.
// Runs `operation` on the file at `path`, letting ConversionError and PlatformError
// through and turning any other failure (qpdf, poppler, vips, the JSON library, the
// file system, memory) into a PlatformError with one readable sentence naming the file.
// ConversionCancelled, which is no std::exception, passes through untouched.
void translatingLibraryErrors(const std::filesystem::path& path, const std::function<void()>& operation);

} // namespace vantory
