#include "Converters/Pdf/PDFProcessor.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/OutputFile.h"
#include "Converters/OutputNaming.h"
#include "Converters/Pdf/DocumentText.h"
#include "Converters/Pdf/ImagePageBuilder.h"
#include "Converters/Pdf/PageWorkers.h"
#include "Converters/Pdf/PdfLibraryErrors.h"
#include "Converters/Pdf/PdfPageCopier.h"
#include "Converters/Pdf/PdfPageRenderer.h"
#include "Converters/Pdf/PopplerDocument.h"
#include "Converters/Pdf/QpdfFiles.h"
#include "Converters/RowAdapters.h"
#include "Models/ActionIds.h"
#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "Platform/Utf8Text.h"

#include <poppler/cpp/poppler-page.h>
#include <qpdf/PDFVersion.hh>

#include <algorithm>
#include <functional>
#include <mutex>

namespace vantory::PDFProcessor {

namespace {

// Past this many inputs, merged documents are opened only while they are read.
constexpr size_t maxOpenMergeInputs = 200;
// Soft masks (image transparency) need PDF 1.4.
constexpr const char* imageDocumentVersion = "1.4";

void requirePages(QPDF& pdf, const std::filesystem::path& output)
{
    if (pdf.getAllPages().empty())
        throw QpdfFiles::writeFailed(output);
}

void writeImagesAsPDF(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& output,
                      const std::stop_token& stop = {})
{
    QPDF pdf;
    pdf.emptyPDF();
    ImagePageBuilder pages(pdf, stop);
    for (const auto& url : urls) {
        throwIfStopped(stop);
        pages.append(url);
    }
    requirePages(pdf, output);
    try {
        QpdfFiles::write(
            pdf, output, [](QPDFWriter& writer) { writer.setMinimumPDFVersion(imageDocumentVersion); }, "", stop);
    } catch (const ConversionError&) {
        if (const auto image = pages.failedImage())
            throw ConversionError::loadFailed(*image);
        throw;
    }
}

std::string pageImageStem(const std::filesystem::path& url, int pageCount, int index)
{
    const std::string stem = OutputNaming::stem(url);
    return pageCount == 1 ? stem : stem + "_page" + std::to_string(index + 1);
}

void writeFile(const std::filesystem::path& output, std::string_view bytes)
{
    OutputFile file(output, OutputFile::Mode::atomic);
    file.append(bytes);
    file.commit();
}

// The file's bytes, copied whole (a byte-order mark included), when they are UTF-8;
// empty otherwise or when the file cannot be read.
std::string utf8FileBytes(const std::filesystem::path& path)
{
    try {
        std::string bytes = readFileBytes(path);
        return isValidUTF8(bytes) ? bytes : std::string();
    } catch (const PlatformError&) {
        return {};
    }
}

std::unique_ptr<QPDF> openForUnlocking(const std::filesystem::path& url, const std::string& password)
{
    try {
        return QpdfFiles::open(url, "", ConversionError::incorrectPassword());
    } catch (const ConversionError& error) {
        if (error.kind() != ConversionError::Kind::incorrectPassword || password.empty())
            throw;
    }
    return QpdfFiles::open(url, password, ConversionError::incorrectPassword());
}

using WriterSettings = std::function<void(QPDFWriter&)>;

// A new document holding every page of `source`, for a damaged document that qpdf reads
// but cannot write whole; what hangs off the catalog, such as bookmarks, is lost.
void writeRebuiltFromPages(QPDF& source, const std::filesystem::path& output, const WriterSettings& settings,
                           const std::string& password)
{
    QPDF rebuilt;
    rebuilt.emptyPDF();
    try {
        PdfPageCopier(rebuilt).appendPagesOf(source);
    } catch (const std::exception&) {
        throw QpdfFiles::writeFailed(output);
    }
    requirePages(rebuilt, output);
    QpdfFiles::write(rebuilt, output, settings, password, {}, QpdfFiles::Reopening::always);
}

// The document as it is, or, when what qpdf writes of it does not open, rebuilt from its pages.
void writeWholeOrRebuilt(QPDF& pdf, const std::filesystem::path& output, const WriterSettings& settings,
                         const std::string& password = "")
{
    try {
        QpdfFiles::write(pdf, output, settings, password);
    } catch (const ConversionError&) {
        writeRebuiltFromPages(pdf, output, settings, password);
    }
}

} // namespace

void imageToPDF(const std::filesystem::path& url, const std::filesystem::path& outputFolder)
{
    translatingPdfErrors(
        url, [&] { writeImagesAsPDF({url}, OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), "pdf")); });
}

void mergeImagesToPDF(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& outputFolder,
                      std::stop_token stop)
{
    const auto output = OutputNaming::uniqueURL(outputFolder, "merged", "pdf");
    translatingPdfErrors(output, [&] { writeImagesAsPDF(urls, output, stop); });
}

void mergePDFs(const std::vector<std::filesystem::path>& urls, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    const auto output = OutputNaming::uniqueURL(outputFolder, "merged", "pdf");
    translatingPdfErrors(output, [&] {
        QPDF merged;
        merged.emptyPDF();
        PdfPageCopier copier(merged);
        const bool keepFilesClosed = urls.size() > maxOpenMergeInputs;
        std::vector<std::unique_ptr<QPDF>> sources;
        PDFVersion newestVersion(1, 3);
        for (const auto& url : urls) {
            throwIfStopped(stop);
            sources.push_back(QpdfFiles::open(url, "", ConversionError::loadFailed(url), keepFilesClosed));
            try {
                copier.appendPagesOf(*sources.back());
                newestVersion = std::max(newestVersion, sources.back()->getVersionAsPDFVersion());
            } catch (const std::exception&) {
                throw ConversionError::loadFailed(url);
            }
        }
        requirePages(merged, output);
        // The pages may use features of the newest input's version.
        QpdfFiles::write(
            merged, output, [&](QPDFWriter& writer) { writer.setMinimumPDFVersion(newestVersion); }, "", stop);
    });
}

void pdfToImages(const std::filesystem::path& url, const std::filesystem::path& outputFolder, std::stop_token stop)
{
    translatingPdfErrors(url, [&] {
        const auto document = PopplerDocument::open(url);
        const int count = document->pages();
        int written = 0;
        std::mutex publishing;
        PageWorkers::forEachPage(url, *document, stop, [&](poppler::document& pages, int index) {
            const std::unique_ptr<poppler::page> page(pages.create_page(index));
            const std::string png = page ? PdfPageRenderer::renderPng(*page) : std::string();
            if (png.empty())
                return;
            // One page is published at a time, so a cancel lets through at most the page
            // being moved into place; a page drawn while the batch was cancelled is not published.
            const std::lock_guard lock(publishing);
            throwIfStopped(stop);
            writeFile(OutputNaming::uniqueURL(outputFolder, pageImageStem(url, count, index), "png"), png);
            ++written;
        });
        throwIfStopped(stop);
        if (written == 0)
            throw ConversionError::loadFailed(url);
    });
}

void lockPDF(const std::filesystem::path& url, const std::string& password, const std::filesystem::path& outputFolder)
{
    translatingPdfErrors(url, [&] {
        if (password.empty())
            throw ConversionError::encryptionFailed();
        const auto pdf = QpdfFiles::open(url, "", ConversionError::loadFailed(url));
        const auto output = OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + "_locked", "pdf");
        writeWholeOrRebuilt(
            *pdf, output,
            [&](QPDFWriter& writer) {
                writer.setR6EncryptionParameters(password.c_str(), password.c_str(), true, true, true, true, true, true,
                                                 qpdf_r3p_full, true);
            },
            password);
    });
}

void unlockPDF(const std::filesystem::path& url, const std::string& password, const std::filesystem::path& outputFolder)
{
    translatingPdfErrors(url, [&] {
        const auto pdf = openForUnlocking(url, password);
        const auto output = OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url) + "_unlocked", "pdf");
        writeWholeOrRebuilt(*pdf, output, [](QPDFWriter& writer) { writer.setPreserveEncryption(false); });
    });
}

void extractText(const std::filesystem::path& url, const std::filesystem::path& outputFolder)
{
    translatingPdfErrors(url, [&] {
        OutputFile output(OutputNaming::uniqueURL(outputFolder, OutputNaming::stem(url), "txt"), OutputFile::Mode::atomic);
        bool hasText = false;
        if (OutputNaming::normalize(pathExtension(url)) == "pdf") {
            hasText = DocumentText::appendPdfText(url, output);
        } else {
            const std::string text = utf8FileBytes(url);
            hasText = !text.empty();
            if (hasText)
                output.append(text);
        }
        if (!hasText)
            throw ConversionError::noTextContent();
        output.commit();
    });
}

DispatchTable rows()
{
    return {.fileOperations =
                {
                    {ActionIds::imageToPdf, serialRow(imageToPDF)},
                    {ActionIds::pdfToImages, serialRow(pdfToImages)},
                    {ActionIds::lockPdf, serialRow(lockPDF)},
                    {ActionIds::unlockPdf, serialRow(unlockPDF)},
                    {ActionIds::extractText, serialRow(extractText)},
                },
            .wholeBatchOperations = {
                {ActionIds::mergeImagesToPdf, wholeBatchRow(mergeImagesToPDF)},
                {ActionIds::mergePdfs, wholeBatchRow(mergePDFs)},
            }};
}

} // namespace vantory::PDFProcessor
