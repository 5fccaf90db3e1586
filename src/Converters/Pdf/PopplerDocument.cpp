#include "Converters/Pdf/PopplerDocument.h"

#include "Converters/ConversionError.h"

namespace vantory::PopplerDocument {

namespace {

void ignoreMessage(const std::string&, void*)
{
}

void silencePoppler()
{
    static const bool silenced = [] {
        poppler::set_debug_error_function(ignoreMessage, nullptr);
        return true;
    }();
    (void)silenced;
}

} // namespace

std::unique_ptr<poppler::document> open(const std::filesystem::path& url, const std::string& password)
{
    silencePoppler();
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(url.string(), password, password));
    if (!document || document->is_locked())
        throw ConversionError::loadFailed(url);
    return document;
}

} // namespace vantory::PopplerDocument
