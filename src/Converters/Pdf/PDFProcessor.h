#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

// The PDF actions: images to PDF, merging, PDF pages to PNG images, locking and
// unlocking with a password, and text extraction. Each operation writes into
// `outputFolder` and throws ConversionError for the failures it recognises, or
// PlatformError for failures of the system or a library. Those that take a `stop` throw
// ConversionCancelled between pages (or documents) once it is requested, and then
// publish nothing more.
namespace vantory::PDFProcessor {

// Every operation below under its action id, on the serial lane; the two merges take the
// whole batch in one call.
DispatchTable rows();

// One page showing the image: stem.pdf.
void imageToPDF(const std::filesystem::path& url, const std::filesystem::path& outputFolder);
// One page per image, in the order given: merged.pdf.
void mergeImagesToPDF(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& outputFolder,
                      std::stop_token stop = {});
// Every page of every document, in the order given: merged.pdf.
void mergePDFs(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& outputFolder,
               std::stop_token stop = {});
// One PNG per page at twice the page's size in points: stem.png for a one-page
// document, stem_page1.png, stem_page2.png, ... otherwise.
void pdfToImages(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop = {});
// A copy that needs `password` to open and to change: stem_locked.pdf.
void lockPDF(const std::filesystem::path& url, const std::string& password, const std::filesystem::path& outputFolder);
// A copy without password protection: stem_unlocked.pdf.
void unlockPDF(const std::filesystem::path& url, const std::string& password, const std::filesystem::path& outputFolder);
// The document's text (or a text file's content) as UTF-8: stem.txt.
void extractText(const std::filesystem::path& url, const std::filesystem::path& outputFolder);

} // namespace vantory::PDFProcessor
