#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace vantory {

// The one boundary between a processor and the libraries and system calls it uses.
// Runs `operation` on the file at `path`, letting ConversionError and PlatformError
// through and turning any other failure (poppler, vips, the JSON library, the file
// system, memory) into a PlatformError with one readable sentence naming the file; the
// PDF processor adds qpdf's (translatingPdfErrors).
// Media libraries failing to read the file make it loadFailed, failing to write the
// result exportFailed. ConversionCancelled, which is no std::exception, passes through
// untouched.
void translatingLibraryErrors(const std::filesystem::path& path, const std::function<void()>& operation);

// What the user reads when memory ran out while working on the file at `path`.
std::string notEnoughMemory(const std::filesystem::path& path);

} // namespace vantory
