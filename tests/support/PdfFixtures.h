#pragma once

#ifndef POINTERHOLDER_TRANSITION
#define POINTERHOLDER_TRANSITION 4
#endif

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>
#include <optional>
#include <string>

namespace vantory::test {

struct PdfPasswords {
    std::string user;
    std::string owner;
};

// Writes a one-page PDF; with passwords it is AES-256 encrypted.
inline std::filesystem::path writePdf(const std::filesystem::path& file,
                                      const std::optional<PdfPasswords>& passwords = std::nullopt)
{
    QPDF pdf;
    pdf.emptyPDF();
    auto page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 200 200] /Resources << >> >>"));
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(page), false);
    QPDFWriter writer(pdf, file.c_str());
    if (passwords)
        writer.setR6EncryptionParameters(passwords->user.c_str(), passwords->owner.c_str(), true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    writer.write();
    return file;
}

} // namespace vantory::test
