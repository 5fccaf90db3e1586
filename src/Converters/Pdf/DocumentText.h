#pragma once

#include "Converters/OutputFile.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vantory::DocumentText {

// Appends the text of every page of the PDF, in reading order, one page after
// another, as UTF-8. Returns whether any of it is more than white space. Throws
// ConversionError::loadFailed(url) when the PDF cannot be opened.
bool appendPdfText(const std::filesystem::path& url, OutputFile& output);

// The same text as one string. Throws ConversionError::loadFailed(url) when the PDF
// cannot be opened.
std::string pdfText(const std::filesystem::path& url);

} // namespace vantory::DocumentText
