#include "Converters/Pdf/PdfPageCopier.h"

namespace vantory {

PdfPageCopier::PdfPageCopier(QPDF& target) : target_(target), targetPages_(target), targetForms_(target)
{
}

void PdfPageCopier::appendPagesOf(QPDF& source)
{
    QPDFAcroFormDocumentHelper sourceForms(source);
    const bool hasForms = sourceForms.hasAcroForm();
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(source).getAllPages()) {
        targetPages_.addPage(page, false);
        if (hasForms)
            targetForms_.fixCopiedAnnotations(target_.getAllPages().back(), page.getObjectHandle(), sourceForms);
    }
}

} // namespace vantory
