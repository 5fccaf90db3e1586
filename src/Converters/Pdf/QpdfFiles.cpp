#include "Converters/Pdf/QpdfFiles.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/OutputFile.h"
#include "Converters/Pdf/PopplerDocument.h"
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

bool qpdfOpensWithPages(const std::filesystem::path& path, const std::string& password)
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

// The reader behind most viewers here: qpdf repairs on reading what it wrote itself, so
// its own reading of a file proves little about what a viewer makes of it.
bool popplerOpensWithPages(const std::filesystem::path& path, const std::string& password)
{
    try {
        return PopplerDocument::open(path, password)->pages() > 0;
    } catch (const ConversionError&) {
        return false;
    }
}

// qpdf writes what it holds, and a damaged document it repaired on reading can be
// written as a file that no reader opens: one whose trailer held the catalog itself
// comes out without the trailer's /Size, which qpdf repairs again but poppler refuses.
bool opensWithPages(const std::filesystem::path& path, const std::string& password)
{
    return qpdfOpensWithPages(path, password) && popplerOpensWithPages(path, password);
}

} // namespace

void write(QPDF& pdf, const std::filesystem::path& output, const std::function<void(QPDFWriter&)>& configure,
           const std::string& password, const std::stop_token& stop, Reopening reopening)
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
    const bool trusted = reopening == Reopening::whenRepaired && writtenCleanlyWithPages(pdf);
    if (!trusted && !opensWithPages(written, password))
        throw writeFailed(output);
    throwIfStopped(stop);
    file.commit();
}

} // namespace vantory::QpdfFiles
