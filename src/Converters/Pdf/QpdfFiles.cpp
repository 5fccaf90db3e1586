#include "Converters/Pdf/QpdfFiles.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/OutputFile.h"
#include "Platform/PdfOpening.h"

namespace vantory::QpdfFiles {

std::unique_ptr<QPDF> open(const std::filesystem::path& url, const std::string& password,
                           const ConversionError& whenPasswordRefused, bool keepFileClosed)
{
    PdfOpening opening = openPDF(url, password, keepFileClosed);
    switch (opening.outcome) {
    case PdfOpenOutcome::opened: return std::move(opening.pdf);
    case PdfOpenOutcome::needsPassword: throw whenPasswordRefused;
    case PdfOpenOutcome::unreadable: break;
    }
    throw ConversionError::loadFailed(url);
}

ConversionError writeFailed(const std::filesystem::path& output)
{
    return ConversionError::exportFailed(output, "PDF write failed");
}

namespace {

// A document qpdf read and wrote without a single warning is written as it was read: its
// pages are the ones it holds. Reading the written file again costs as much as reading
// every page's objects once more, so only the other documents pay for it.
bool writtenCleanlyWithPages(QPDF& pdf)
{
    if (pdf.anyWarnings())
        return false;
    try {
        return !pdf.getAllPages().empty() && !pdf.anyWarnings();
    } catch (const std::exception&) {
        return false;
    }
}

// qpdf writes what it holds, and a damaged document it repaired on reading can be
// written as a file that no reader opens.
bool opensWithPages(const std::filesystem::path& path, const std::string& password)
{
    PdfOpening opening = openPDF(path, password);
    if (opening.outcome != PdfOpenOutcome::opened)
        return false;
    try {
        return !opening.pdf->getAllPages().empty();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void write(QPDF& pdf, const std::filesystem::path& output, const std::function<void(QPDFWriter&)>& configure,
           const std::string& password, const std::stop_token& stop)
{
    OutputFile file(output, OutputFile::Mode::atomic);
    const std::filesystem::path& written = file.pathForLibrary();
    try {
        QPDFWriter writer(pdf, written.c_str());
        if (configure)
            configure(writer);
        writer.write();
    } catch (const std::exception&) {
        throw writeFailed(output);
    }
    if (!writtenCleanlyWithPages(pdf) && !opensWithPages(written, password))
        throw writeFailed(output);
    throwIfStopped(stop);
    file.commit();
}

} // namespace vantory::QpdfFiles
