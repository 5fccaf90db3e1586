#pragma once

#include <qpdf/QPDF.hh>

#include <filesystem>
#include <memory>
#include <string>

namespace vantory {

// How an attempt to open a PDF went: a file locked against the password given is told
// apart from one that cannot be read as a PDF at all.
enum class PdfOpenOutcome { opened, needsPassword, unreadable };

struct PdfOpening {
    PdfOpenOutcome outcome = PdfOpenOutcome::unreadable;
    std::unique_ptr<QPDF> pdf; // set only when opened
};

// Opens the PDF with `password` ("" for none), quietly repairing what qpdf can; qpdf
// tries the password both as user and as owner password. With `keepFileClosed` the file
// is opened only while qpdf reads from it, so that many documents can be held at once
// without running out of file descriptors. Safe on any thread.
PdfOpening openPDF(const std::filesystem::path& path, const std::string& password, bool keepFileClosed = false);

} // namespace vantory
