#include "Platform/PdfOpening.h"

#include <qpdf/ClosedFileInputSource.hh>
#include <qpdf/QPDFExc.hh>

#include <exception>

namespace vantory {

namespace {

void process(QPDF& pdf, const std::filesystem::path& path, const char* password, bool keepFileClosed)
{
    if (!keepFileClosed) {
        pdf.processFile(path.c_str(), password);
        return;
    }
    auto source = std::make_shared<ClosedFileInputSource>(path.c_str());
    pdf.processInputSource(source, password);
}

} // namespace

PdfOpening openPDF(const std::filesystem::path& path, const std::string& password, bool keepFileClosed)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        process(*pdf, path, password.empty() ? nullptr : password.c_str(), keepFileClosed);
    } catch (const QPDFExc& error) {
        const bool locked = error.getErrorCode() == qpdf_e_password;
        return {locked ? PdfOpenOutcome::needsPassword : PdfOpenOutcome::unreadable, nullptr};
    } catch (const std::exception&) {
        return {PdfOpenOutcome::unreadable, nullptr};
    }
    return {PdfOpenOutcome::opened, std::move(pdf)};
}

} // namespace vantory
