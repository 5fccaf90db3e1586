#include "Converters/Pdf/PdfLibraryErrors.h"

#include "Converters/LibraryErrors.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <qpdf/QPDFExc.hh>

namespace vantory {

void translatingPdfErrors(const std::filesystem::path& path, const std::function<void()>& operation)
{
    translatingLibraryErrors(path, [&] {
        try {
            operation();
        } catch (const QPDFExc& error) {
            throw PlatformError("The PDF " + quotedName(path) + " could not be processed (" + error.getMessageDetail()
                                + ").");
        }
    });
}

} // namespace vantory
