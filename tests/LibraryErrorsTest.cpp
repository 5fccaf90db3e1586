#include "Converters/LibraryErrors.h"
#include "Converters/ConversionError.h"
#include "Converters/Media/FfmpegError.h"
#include "Converters/Pdf/PdfLibraryErrors.h"
#include "Platform/PlatformError.h"
#include "mp3/Wrappers/LameEncoderError.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <qpdf/QPDFExc.hh>
#include <vips/vips8>

#include <functional>
#include <new>

using namespace vantory;

namespace {

using Boundary = void (*)(const std::filesystem::path&, const std::function<void()>&);

// What leaves the boundary when `operation` throws: the PlatformError's sentence.
std::string sentenceFor(const std::function<void()>& operation, Boundary boundary = translatingLibraryErrors)
{
    try {
        boundary("/in/Report 1.pdf", operation);
    } catch (const PlatformError& error) {
        return error.what();
    } catch (...) {
        return "(not a PlatformError)";
    }
    return "(nothing thrown)";
}

} // namespace

TEST(LibraryErrors, EveryLibraryFailureBecomesOneSentenceNamingTheFile)
{
    struct Row {
        const char* name;
        std::function<void()> operation;
        std::string sentence;
    };
    const std::vector<Row> rows = {
        {"file system",
         [] {
             throw std::filesystem::filesystem_error("x", "/in/gone.txt",
                                                     std::make_error_code(std::errc::no_such_file_or_directory));
         },
         "The file \u201Cgone.txt\u201D couldn\u2019t be opened because there is no such file."},
        {"JSON", [] { [[maybe_unused]] const auto value = nlohmann::json::parse("{"); },
         "The data couldn\u2019t be read because it isn\u2019t in the correct format."},
        {"vips", [] { throw vips::VError("vips says no"); }, "The image \u201CReport 1.pdf\u201D could not be processed."},
        {"memory", [] { throw std::bad_alloc(); }, "There isn\u2019t enough memory to process \u201CReport 1.pdf\u201D."},
        {"anything else", [] { throw std::length_error("basic_string::_M_create"); },
         "The file \u201CReport 1.pdf\u201D could not be processed."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sentenceFor(row.operation), row.sentence) << row.name;
}

// The PDF processor's boundary adds qpdf's failures and keeps every other translation.
TEST(LibraryErrors, PdfBoundaryNamesThePdfForQpdfFailures)
{
    EXPECT_EQ(sentenceFor([] { throw QPDFExc(qpdf_e_damaged_pdf, "f", "", 0, "bad xref"); }, translatingPdfErrors),
              "The PDF \u201CReport 1.pdf\u201D could not be processed (bad xref).");
    EXPECT_EQ(sentenceFor([] { throw std::bad_alloc(); }, translatingPdfErrors),
              "There isn\u2019t enough memory to process \u201CReport 1.pdf\u201D.");
    EXPECT_EQ(sentenceFor([] { throw PlatformError("Already a sentence."); }, translatingPdfErrors), "Already a sentence.");
    EXPECT_THROW(translatingPdfErrors("/in/a", [] { throw ConversionError::incorrectPassword(); }), ConversionError);
}

TEST(LibraryErrors, MediaReadingFailuresAreLoadFailedAndWritingFailuresExportFailed)
{
    struct Row {
        const char* name;
        std::function<void()> operation;
        ConversionError error;
    };
    const std::filesystem::path source = "/in/Clip 1.mov";
    const std::vector<Row> rows = {
        {"reading", [] { throw MediaReadError("Could not open Clip 1.mov: Invalid data"); }, ConversionError::loadFailed(source)},
        {"writing", [] { throw MediaWriteError("Could not write the file: No space left on device"); },
         ConversionError::exportFailed(source, "Could not write the file: No space left on device")},
        {"encoding MP3",
         [] { throw mp3::LameEncoderError(mp3::LameEncoderError::Kind::couldNotWriteOutput, "Could not write the MP3 file"); },
         ConversionError::exportFailed(source, "Could not write the MP3 file")},
    };
    for (const Row& row : rows) {
        try {
            translatingLibraryErrors(source, row.operation);
            ADD_FAILURE() << row.name << ": nothing thrown";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error, row.error) << row.name;
        }
    }
}

TEST(LibraryErrors, OwnErrorsPassUnchanged)
{
    EXPECT_THROW(translatingLibraryErrors("/in/a", [] { throw ConversionError::incorrectPassword(); }), ConversionError);
    EXPECT_EQ(sentenceFor([] { throw PlatformError("Already a sentence."); }), "Already a sentence.");
    EXPECT_EQ(sentenceFor([] {}), "(nothing thrown)");
}
