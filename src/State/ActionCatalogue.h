#pragma once

#include "Models/FileAction.h"

#include <string>
#include <vector>

// The rows the action card can offer, as the resolver hands them out. Sub-options of
// the convert rows are filled in by the resolver.
namespace vantory::catalogue {

std::vector<FileAction> imageActions(bool groupIsBatch);
std::vector<FileAction> videoActions();
std::vector<FileAction> audioActions();
std::vector<FileAction> folderActions();
std::vector<FileAction> pdfActions(bool groupIsBatch, bool summariesAvailable);
FileAction unlockPDF();
std::vector<FileAction> archiveActions();
FileAction unlockAndExtractZIP();
FileAction unlockOneAtATime();
std::vector<FileAction> dataActions(const std::string& extension);
FileAction base64Decode();
FileAction unsupportedFileType(const std::string& extension); // "Unsupported .DOCX"
FileAction unsupportedFileTypes(); // a batch of several kinds
FileAction compressToZIP();

} // namespace vantory::catalogue
