#pragma once

#include <filesystem>
#include <string>

namespace vantory {

// Whether the file is a PDF that carries encryption: it opens and is encrypted, or it
// opens only with a password. False for anything that cannot be opened as a PDF.
// Safe on any thread.
bool isEncryptedPDF(const std::filesystem::path& file);

// Whether the PDF can be read with this password: true when it needs none, or when
// the password opens it as its user or owner password; false when it cannot be
// opened at all. Safe on any thread.
bool pdfOpensWithPassword(const std::filesystem::path& file, const std::string& password);

} // namespace vantory
