#pragma once

#include <poppler/cpp/poppler-document.h>

#include <filesystem>
#include <memory>

namespace vantory::PopplerDocument {

// Opens a PDF for drawing or reading text; throws ConversionError::loadFailed(url)
// when it cannot be read or still needs a password. Poppler's own complaints about
// damaged files are kept off the terminal.
std::unique_ptr<poppler::document> open(const std::filesystem::path& url);

} // namespace vantory::PopplerDocument
