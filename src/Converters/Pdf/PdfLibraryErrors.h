#pragma once

#include <filesystem>
#include <functional>

namespace vantory {

// translatingLibraryErrors for the PDF processor: qpdf's failures, too, become one
// sentence naming the PDF. Kept beside the processor that uses qpdf, so that the other
// processors need not load it.
void translatingPdfErrors(const std::filesystem::path& path, const std::function<void()>& operation);

} // namespace vantory
