#pragma once

#include "Converters/ConversionError.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

namespace vantory::QpdfFiles {

// Opens a PDF, quietly repairing what qpdf can. Throws `whenPasswordRefused` when the
// file needs a password that `password` is not, and loadFailed(url) when it cannot be
// read as a PDF at all. With `keepFileClosed` the file is opened only while qpdf reads
// from it, so that many documents can be held at once without running out of file
// descriptors.
std::unique_ptr<QPDF> open(const std::filesystem::path& url, const std::string& password,
                           const ConversionError& whenPasswordRefused, bool keepFileClosed = false);

// When a written document is opened again to see that it shows a page.
enum class Reopening {
    whenRepaired, // only when qpdf warned while reading or writing it (it repaired it)
    always, // for a document made from the pages of a damaged one
};

// Writes the document to `output` (under a temporary name until complete). The file is
// put in place only when it has at least one page; when `reopening` asks, the written
// file is opened again, by qpdf and by poppler (what most viewers read with), with
// `password` when `configure` locks it, and must show a page to both. Throws
// writeFailed(output) when qpdf cannot write it or the written file does not open with a
// page, and ConversionCancelled when `stop` is requested before the file is in place;
// nothing is left at `output` then.
void write(QPDF& pdf, const std::filesystem::path& output, const std::function<void(QPDFWriter&)>& configure = {},
           const std::string& password = "", const std::stop_token& stop = {},
           Reopening reopening = Reopening::whenRepaired);

// The failure every PDF write reports.
ConversionError writeFailed(const std::filesystem::path& output);

} // namespace vantory::QpdfFiles
