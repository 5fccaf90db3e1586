#include "BenchCommands.h"

#include "BenchPassword.h"
#include "Converters/Pdf/PDFProcessor.h"

namespace {

using Inputs = std::vector<std::filesystem::path>;
using Folder = std::filesystem::path;

vantory::bench::Registration mergePdfs("merge_pdfs", [](const Inputs& inputs, const Folder& out) {
    vantory::PDFProcessor::mergePDFs(inputs, out);
});

vantory::bench::Registration mergeImages("merge_images_to_pdf", [](const Inputs& inputs, const Folder& out) {
    vantory::PDFProcessor::mergeImagesToPDF(inputs, out);
});

vantory::bench::Registration pdfToImages("pdf_to_images", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::PDFProcessor::pdfToImages(input, out);
});

vantory::bench::Registration extractText("extract_text", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::PDFProcessor::extractText(input, out);
});

vantory::bench::Registration lockPdf("lock_pdf", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::PDFProcessor::lockPDF(input, vantory::bench::password(), out);
});

vantory::bench::Registration unlockPdf("unlock_pdf", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::PDFProcessor::unlockPDF(input, vantory::bench::password(), out);
});

} // namespace
