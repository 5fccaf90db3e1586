#include "Converters/DispatchTable.h"

#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/ConversionError.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Pdf/PDFProcessor.h"

namespace vantory {

namespace {

using PathOperation = void (*)(const std::filesystem::path&, const std::filesystem::path&);
using PasswordOperation = void (*)(const std::filesystem::path&, const std::string&, const std::filesystem::path&);
using ListOperation = void (*)(const std::vector<std::filesystem::path>&, const std::filesystem::path&);
using ListPasswordOperation = void (*)(const std::vector<std::filesystem::path>&, const std::string&,
                                       const std::filesystem::path&);

FileOperation serial(PathOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.outputFolder); }};
}

FileOperation serial(PasswordOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.password, job.outputFolder); }};
}

std::function<void(const WholeBatchJob&)> wholeBatch(ListOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.outputFolder); };
}

std::function<void(const WholeBatchJob&)> wholeBatch(ListPasswordOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.password, job.outputFolder); };
}

// A row whose processor this build does not have yet: a clear failure, never a success.
FileOperation unavailable(const std::string& actionId, Lane lane = Lane::serial)
{
    return {lane, [actionId](const FileJob&) {
                throw ConversionError::unsupportedFormat("no processor for the action \"" + actionId + "\" in this build");
            }};
}

void addDataRows(DispatchTable& table)
{
    table.fileOperations["format_json"] = serial(DataFileProcessor::formatJSON);
    table.fileOperations["minify_json"] = serial(DataFileProcessor::minifyJSON);
    table.fileOperations["json_to_csv"] = serial(DataFileProcessor::jsonToCSV);
    table.fileOperations["csv_to_json"] = serial(DataFileProcessor::csvToJSON);
    table.fileOperations["yaml_to_json"] = serial(DataFileProcessor::yamlToJSON);
    table.fileOperations["xml_to_json"] = serial(DataFileProcessor::xmlToJSON);
    table.fileOperations["base64_encode"] = serial(DataFileProcessor::base64Encode);
    table.fileOperations["base64_decode"] = serial(DataFileProcessor::base64Decode);
}

void addPdfRows(DispatchTable& table)
{
    table.fileOperations["image_to_pdf"] = serial(PDFProcessor::imageToPDF);
    table.fileOperations["pdf_to_images"] = serial(PDFProcessor::pdfToImages);
    table.fileOperations["lock_pdf"] = serial(PDFProcessor::lockPDF);
    table.fileOperations["unlock_pdf"] = serial(PDFProcessor::unlockPDF);
    table.fileOperations["extract_text"] = serial(PDFProcessor::extractText);
    table.wholeBatchOperations["merge_pdf"] = wholeBatch(PDFProcessor::mergeImagesToPDF);
    table.wholeBatchOperations["merge_pdfs"] = wholeBatch(PDFProcessor::mergePDFs);
}

void addArchiveRows(DispatchTable& table)
{
    table.fileOperations["extract_archive"] = serial(ArchiveProcessor::extractArchive);
    table.fileOperations["unlock_extract_zip"] = serial(ArchiveProcessor::extractArchiveWithPassword);
    // Reached by runAction only: a batch sends both ids down the whole-batch path.
    table.fileOperations["compress_zip"] = {Lane::serial, [](const FileJob& job) {
                                                ArchiveProcessor::compressToZip({job.url}, job.outputFolder);
                                            }};
    table.fileOperations["compress_zip_pw"] = {Lane::serial, [](const FileJob& job) {
                                                   ArchiveProcessor::compressToZipWithPassword({job.url}, job.password, job.outputFolder);
                                               }};
    table.wholeBatchOperations["compress_zip"] = wholeBatch(ArchiveProcessor::compressToZip);
    table.wholeBatchOperations["compress_zip_pw"] = wholeBatch(ArchiveProcessor::compressToZipWithPassword);
}

void addMediaRows(DispatchTable& table)
{
    for (const char* id : {"convert_image", "compress_image", "remove_bg"})
        table.fileOperations[id] = unavailable(id);
    for (const char* id : {"extract_audio", "compress_video", "convert_video", "convert_audio"})
        table.fileOperations[id] = unavailable(id, Lane::pooled);
}

} // namespace

DispatchTable DispatchTable::standard()
{
    DispatchTable table;
    addDataRows(table);
    addPdfRows(table);
    addArchiveRows(table);
    addMediaRows(table);
    return table;
}

} // namespace vantory
