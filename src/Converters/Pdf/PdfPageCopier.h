#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

namespace vantory {

// Appends the pages of other documents to one document, keeping their annotations
// and form fields working. A source must stay open until the target is written,
// since its streams are copied only then.
class PdfPageCopier {
public:
    explicit PdfPageCopier(QPDF& target);

    // Appends every page of `source`, in page order; throws qpdf's exceptions.
    void appendPagesOf(QPDF& source);

private:
    QPDF& target_;
    QPDFPageDocumentHelper targetPages_;
    QPDFAcroFormDocumentHelper targetForms_;
};

} // namespace vantory
