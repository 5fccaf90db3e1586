#include "Converters/Pdf/QpdfFiles.h"

#include "Converters/OutputFile.h"

#include <qpdf/ClosedFileInputSource.hh>
#include <qpdf/QPDFExc.hh>

namespace vantory::QpdfFiles {

namespace {

void process(QPDF& pdf, const std::filesystem::path& url, const char* password, bool keepFileClosed)
{
    if (!keepFileClosed) {
        pdf.processFile(url.c_str(), password);
        return;
    }
    auto source = std::make_shared<ClosedFileInputSource>(url.c_str());
    pdf.processInputSource(source, password);
}

} // namespace

std::unique_ptr<QPDF> open(const std::filesystem::path& url, const std::string& password,
                           const ConversionError& whenPasswordRefused, bool keepFileClosed)
{
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        process(*pdf, url, password.empty() ? nullptr : password.c_str(), keepFileClosed);
    } catch (const QPDFExc& error) {
        if (error.getErrorCode() == qpdf_e_password)
            throw whenPasswordRefused;
        throw ConversionError::loadFailed(url);
    } catch (const std::exception&) {
        throw ConversionError::loadFailed(url);
    }
    return pdf;
}

ConversionError writeFailed(const std::filesystem::path& output)
{
    return ConversionError::exportFailed(output, "PDF write failed");
}

void write(QPDF& pdf, const std::filesystem::path& output, const std::function<void(QPDFWriter&)>& configure)
{
    OutputFile file(output, OutputFile::Mode::atomic);
    try {
        QPDFWriter writer(pdf, file.pathForLibrary().c_str());
        if (configure)
            configure(writer);
        writer.write();
    } catch (const std::exception&) {
        throw writeFailed(output);
    }
    file.commit();
}

} // namespace vantory::QpdfFiles
