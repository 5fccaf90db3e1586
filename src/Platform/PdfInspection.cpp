#include "Platform/PdfInspection.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

#include <exception>

namespace vantory {

namespace {

enum class OpenOutcome { opened, needsPassword, unreadable };

// Opens the file with the password and reports how that went; `encrypted` is set
// when it opened.
OpenOutcome openPDF(const std::filesystem::path& file, const std::string& password, bool& encrypted)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(file.c_str(), password.c_str());
        encrypted = pdf.isEncrypted();
        return OpenOutcome::opened;
    } catch (const QPDFExc& error) {
        return error.getErrorCode() == qpdf_e_password ? OpenOutcome::needsPassword : OpenOutcome::unreadable;
    } catch (const std::exception&) {
        return OpenOutcome::unreadable;
    }
}

} // namespace

bool isEncryptedPDF(const std::filesystem::path& file)
{
    bool encrypted = false;
    switch (openPDF(file, "", encrypted)) {
    case OpenOutcome::opened: return encrypted;
    case OpenOutcome::needsPassword: return true;
    case OpenOutcome::unreadable: return false;
    }
    return false;
}

bool pdfOpensWithPassword(const std::filesystem::path& file, const std::string& password)
{
    bool encrypted = false;
    switch (openPDF(file, "", encrypted)) {
    case OpenOutcome::opened: return true;
    case OpenOutcome::unreadable: return false;
    case OpenOutcome::needsPassword: break;
    }
    // qpdf tries the password both as user and as owner password.
    return openPDF(file, password, encrypted) == OpenOutcome::opened;
}

} // namespace vantory
