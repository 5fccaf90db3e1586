#include "Platform/PdfInspection.h"

#include "Platform/PdfOpening.h"

namespace vantory {

bool isEncryptedPDF(const std::filesystem::path& file)
{
    const PdfOpening opening = openPDF(file, "");
    switch (opening.outcome) {
    case PdfOpenOutcome::opened: return opening.pdf->isEncrypted();
    case PdfOpenOutcome::needsPassword: return true;
    case PdfOpenOutcome::unreadable: return false;
    }
    return false;
}

bool pdfOpensWithPassword(const std::filesystem::path& file, const std::string& password)
{
    switch (openPDF(file, "").outcome) {
    case PdfOpenOutcome::opened: return true;
    case PdfOpenOutcome::unreadable: return false;
    case PdfOpenOutcome::needsPassword: break;
    }
    return openPDF(file, password).outcome == PdfOpenOutcome::opened;
}

} // namespace vantory
