#pragma once

#include <poppler/cpp/poppler-document.h>

#include <filesystem>
#include <memory>
#include <string>

namespace vantory::PopplerDocument {

// Opens a PDF for drawing or reading text, with `password` ("" for none); throws
// ConversionError::loadFailed(url) when it cannot be read or still needs a password.
// Poppler's own complaints about damaged files are kept off the terminal.
std::unique_ptr<poppler::document> open(const std::filesystem::path& url, const std::string& password = "");

} // namespace vantory::PopplerDocument
