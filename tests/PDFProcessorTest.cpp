#include "Converters/Pdf/PDFProcessor.h"
#include "Converters/ConversionError.h"
#include "Converters/Pdf/ImagePageBuilder.h"
#include "Converters/Pdf/PdfPageRenderer.h"
#include "Converters/Pdf/QpdfFiles.h"
#include "support/ConversionErrors.h"
#include "support/InAndOutFolders.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-page.h>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <sys/resource.h>

#include <cmath>
#include <fstream>
#include <regex>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;

namespace {

class PDFProcessorTest : public InAndOutFolders {
protected:
    fs::path textPdf(const std::string& name, const std::vector<TextPage>& pages, const Encryption* encryption = nullptr) const
    {
        const fs::path file = in() / name;
        writeTextPdf(file, pages, encryption);
        return file;
    }
};

void expectColour(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance = 12)
{
    ASSERT_GE(actual.size(), expected.size());
    for (size_t band = 0; band < expected.size(); ++band)
        EXPECT_NEAR(actual[band], expected[band], tolerance) << "band " << band;
}

const std::vector<double> red{255, 0, 0};
const std::vector<double> blue{0, 0, 255};
const std::vector<double> white{255, 255, 255};

} // namespace

TEST_F(PDFProcessorTest, PageImagesAreNamedByPageOnlyForSeveralPages)
{
    struct Case {
        int pages;
        std::vector<std::string> expectedStems;
    };
    const std::vector<Case> cases = {
        {1, {"doc"}},
        {3, {"doc_page1", "doc_page2", "doc_page3"}},
    };
    for (const auto& c : cases) {
        fs::remove_all(out());
        fs::create_directories(out());
        const auto pdf = textPdf("doc.pdf", std::vector<TextPage>(c.pages, TextPage{100, 50, "x"}));
        PDFProcessor::pdfToImages(pdf, out());

        std::vector<std::string> stems;
        const std::regex name("(.*)_[0-9a-f]{8}\\.png");
        for (const auto& entry : entryNamesIn(out())) {
            std::smatch match;
            ASSERT_TRUE(std::regex_match(entry, match, name)) << entry;
            stems.push_back(match[1]);
            EXPECT_EQ(imageSize(out() / entry), std::make_pair(200, 100)) << entry;
        }
        EXPECT_EQ(stems, c.expectedStems);
    }
}

TEST_F(PDFProcessorTest, TransparentImageRendersOnWhite)
{
    // Left half opaque red, right half fully transparent.
    const auto png = image("clear.png", splitImage(80, 40, {255, 0, 0, 255}, {0, 0, 0, 0}));
    PDFProcessor::imageToPDF(png, out());
    const fs::path pdf = onlyEntry(out());
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pageSizes(pdf), (std::vector<std::pair<double, double>>{{80, 40}}));

    fs::create_directories(dir_ / "pages");
    PDFProcessor::pdfToImages(pdf, dir_ / "pages");
    const fs::path page = onlyEntry(dir_ / "pages");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(imageSize(page), std::make_pair(160, 80));
    EXPECT_EQ(pixelAt(page, 140, 40), white);
    expectColour(pixelAt(page, 20, 40), red);
}

TEST_F(PDFProcessorTest, ImagePageTakesItsSizeFromResolution)
{
    struct Case {
        std::string name;
        double dpi; // 0: none stated
        std::pair<double, double> expectedPoints;
    };
    const std::vector<Case> cases = {
        {"plain.png", 0, {200, 100}},
        {"fine.png", 144, {100, 50}},
        {"print.jpg", 300, {48, 24}},
    };
    for (const auto& c : cases) {
        fs::remove_all(out());
        fs::create_directories(out());
        auto pixels = solidImage(200, 100, red);
        if (c.dpi > 0)
            pixels = pixels.copy(vips::VImage::option()->set("xres", c.dpi / 25.4)->set("yres", c.dpi / 25.4));
        PDFProcessor::imageToPDF(image(c.name, pixels), out());
        const auto sizes = pageSizes(onlyEntry(out()));
        ASSERT_EQ(sizes.size(), 1u) << c.name;
        EXPECT_NEAR(sizes[0].first, c.expectedPoints.first, 0.01) << c.name;
        EXPECT_NEAR(sizes[0].second, c.expectedPoints.second, 0.01) << c.name;
    }
}

TEST_F(PDFProcessorTest, JpegIsEmbeddedUnchanged)
{
    const auto jpg = image("photo.jpg", splitImage(64, 32, red, blue));
    PDFProcessor::imageToPDF(jpg, out());
    QPDF pdf;
    pdf.processFile(onlyEntry(out()).c_str());
    QPDFObjectHandle page = pdf.getAllPages().at(0);
    auto image = page.getKey("/Resources").getKey("/XObject").getKey("/Im0");
    EXPECT_EQ(image.getDict().getKey("/Filter").getName(), "/DCTDecode");
    const auto raw = image.getRawStreamData();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize()), readFile(jpg));
}

TEST_F(PDFProcessorTest, OrientationTagTurnsThePageUpright)
{
    // Stored 60 x 40, left red, right blue; orientation 6 shows it turned a quarter
    // clockwise: 40 wide, 60 high, red on top.
    auto stored = splitImage(60, 40, red, blue).copy();
    stored.set(VIPS_META_ORIENTATION, 6);
    for (const std::string name : {"turned.jpg", "turned.tif"}) {
        fs::remove_all(out());
        fs::create_directories(out());
        PDFProcessor::imageToPDF(image(name, stored), out());
        const fs::path pdf = onlyEntry(out());
        EXPECT_EQ(pageSizes(pdf), (std::vector<std::pair<double, double>>{{40, 60}})) << name;
        fs::remove_all(dir_ / "pages");
        fs::create_directories(dir_ / "pages");
        PDFProcessor::pdfToImages(pdf, dir_ / "pages");
        const fs::path page = onlyEntry(dir_ / "pages");
        EXPECT_EQ(imageSize(page), std::make_pair(80, 120)) << name;
        expectColour(pixelAt(page, 40, 20), red);
        expectColour(pixelAt(page, 40, 100), blue);
    }
}

TEST_F(PDFProcessorTest, ImagesOfEveryColourModelKeepTheirColours)
{
    struct Case {
        std::string name;
        vips::VImage pixels;
        std::vector<double> expected; // empty: as vips reads the file in sRGB
    };
    const auto orange = solidImage(40, 40, {255, 128, 0});
    const std::vector<Case> cases = {
        {"cmyk.jpg", orange.colourspace(VIPS_INTERPRETATION_CMYK), {}},
        {"deep.png", orange.colourspace(VIPS_INTERPRETATION_RGB16), {255, 128, 0}},
        {"grey.jpg", solidImage(40, 40, {90}), {90, 90, 90}},
        {"grey-alpha.png", solidImage(40, 40, {90, 255}), {90, 90, 90}},
        {"half-clear.tif", solidImage(40, 40, {255, 0, 0, 128}), {255, 127, 127}},
    };
    for (const auto& c : cases) {
        fs::remove_all(out());
        fs::create_directories(out());
        const auto file = image(c.name, c.pixels);
        const auto expected =
            c.expected.empty() ? vips::VImage::new_from_file(file.c_str()).colourspace(VIPS_INTERPRETATION_sRGB).getpoint(20, 20)
                               : c.expected;
        PDFProcessor::imageToPDF(file, out());
        fs::remove_all(dir_ / "pages");
        fs::create_directories(dir_ / "pages");
        PDFProcessor::pdfToImages(onlyEntry(out()), dir_ / "pages");
        SCOPED_TRACE(c.name);
        expectColour(pixelAt(onlyEntry(dir_ / "pages"), 40, 40), expected, 20);
    }
}

TEST_F(PDFProcessorTest, MergedImagesFollowTheGivenOrder)
{
    // vips would read "[2]" at the end of a name as load options.
    const auto bracketed = in() / "scan[2]";
    fs::rename(image("scan.tif", solidImage(15, 15, red)), bracketed);
    const std::vector<fs::path> urls = {
        image("b.png", solidImage(30, 10, red)), bracketed, image("a.jpg", solidImage(10, 20, blue)),
        image("c.png", solidImage(20, 30, {128, 200})), // grey with alpha
    };
    PDFProcessor::mergeImagesToPDF(urls, out());
    const fs::path pdf = onlyEntry(out());
    EXPECT_TRUE(std::regex_match(pdf.filename().string(), std::regex("merged_[0-9a-f]{8}\\.pdf")));
    EXPECT_EQ(pageSizes(pdf), (std::vector<std::pair<double, double>>{{30, 10}, {15, 15}, {10, 20}, {20, 30}}));
}

TEST_F(PDFProcessorTest, UnreadableImageFailsWithNothingWritten)
{
    const auto broken = in() / "broken.png";
    std::ofstream(broken) << "not an image";
    const auto good = image("good.png", solidImage(10, 10, red));

    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::imageToPDF(broken, out()); }), ConversionError::loadFailed(broken));
    EXPECT_EQ(conversionErrorOf([&] {
                  PDFProcessor::mergeImagesToPDF({good, broken}, out());
              }),
              ConversionError::loadFailed(broken));
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, ImageThatCannotBeDecodedWhileWritingLeavesNoFile)
{
    const auto png = image("gone.png", solidImage(10, 10, red));
    QPDF pdf;
    pdf.emptyPDF();
    ImagePageBuilder pages(pdf);
    pages.append(png);
    fs::remove(png);
    const auto output = out() / "result.pdf";
    EXPECT_EQ(conversionErrorOf([&] { QpdfFiles::write(pdf, output); }), QpdfFiles::writeFailed(output));
    EXPECT_EQ(pages.failedImage(), png);
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, MergedDocumentsKeepOrderAndPages)
{
    const auto first = textPdf("first.pdf", {{100, 100, "one"}, {200, 100, "two"}});
    const auto second = textPdf("second.pdf", {{300, 100, "three"}});
    PDFProcessor::mergePDFs({second, first, second}, out());
    EXPECT_EQ(pageSizes(onlyEntry(out())),
              (std::vector<std::pair<double, double>>{{300, 100}, {100, 100}, {200, 100}, {300, 100}}));
}

TEST_F(PDFProcessorTest, MergedDocumentTakesTheNewestInputVersion)
{
    const auto older = textPdf("older.pdf", {{100, 100, "one"}});
    const auto newer = in() / "newer.pdf";
    {
        QPDF pdf;
        pdf.processFile(textPdf("plain.pdf", {{100, 100, "two"}}).c_str());
        QPDFWriter writer(pdf, newer.c_str());
        writer.setMinimumPDFVersion("1.7");
        writer.write();
    }
    PDFProcessor::mergePDFs({older, newer}, out());
    QPDF merged;
    merged.processFile(onlyEntry(out()).c_str());
    EXPECT_EQ(merged.getPDFVersion(), "1.7");
}

TEST_F(PDFProcessorTest, MergedDocumentsKeepTheirFormFields)
{
    const auto first = in() / "first.pdf";
    const auto second = in() / "second.pdf";
    writeFormPdf(first, "name", "Ada");
    writeFormPdf(second, "name", "Grace");
    PDFProcessor::mergePDFs({first, second}, out());

    QPDF merged;
    merged.processFile(onlyEntry(out()).c_str());
    QPDFAcroFormDocumentHelper forms(merged);
    std::vector<std::string> values;
    for (auto& field : forms.getFormFields())
        values.push_back(field.getValueAsString());
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"Ada", "Grace"}));
}

TEST_F(PDFProcessorTest, ManyDocumentsMergeWithFewFileDescriptors)
{
    std::vector<fs::path> urls;
    for (int i = 0; i < 260; ++i)
        urls.push_back(textPdf("part" + std::to_string(i) + ".pdf", {{10.0 + i, 10, "p"}}));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 128;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    try {
        PDFProcessor::mergePDFs(urls, out());
    } catch (...) {
        setrlimit(RLIMIT_NOFILE, &saved);
        throw;
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    const auto sizes = pageSizes(onlyEntry(out()));
    ASSERT_EQ(sizes.size(), urls.size());
    EXPECT_EQ(sizes.back().first, 10.0 + 259);
}

TEST_F(PDFProcessorTest, MergeFailsOnALockedOrUnreadableInput)
{
    const auto open = textPdf("open.pdf", {{100, 100, "one"}});
    const Encryption encryption{"secret", "secret"};
    const auto locked = textPdf("locked.pdf", {{100, 100, "two"}}, &encryption);
    const auto junk = in() / "junk.pdf";
    std::ofstream(junk) << "%PDF-1.4 nothing else";

    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::mergePDFs({open, locked}, out()); }), ConversionError::loadFailed(locked));
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::mergePDFs({open, junk}, out()); }), ConversionError::loadFailed(junk));
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, NothingToPutInAPdfIsAFailure)
{
    const auto empty = textPdf("empty.pdf", {});
    const auto error = conversionErrorOf([&] { PDFProcessor::mergePDFs({empty}, out()); });
    EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
    EXPECT_EQ(error.detail(), "PDF write failed");
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::mergeImagesToPDF({}, out()); }).kind(), ConversionError::Kind::exportFailed);
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::pdfToImages(empty, out()); }), ConversionError::loadFailed(empty));
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, LockedCopyNeedsThePasswordAndUnlocksWithIt)
{
    const auto plain = textPdf("report.pdf", {{100, 100, "one"}, {100, 100, "two"}});
    PDFProcessor::lockPDF(plain, "s3cret", out());
    const fs::path locked = onlyEntry(out());
    EXPECT_TRUE(std::regex_match(locked.filename().string(), std::regex("report_locked_[0-9a-f]{8}\\.pdf")));
    EXPECT_TRUE(needsPassword(locked));
    {
        QPDF pdf;
        pdf.processFile(locked.c_str(), "s3cret");
        EXPECT_TRUE(pdf.ownerPasswordMatched());
        EXPECT_TRUE(pdf.userPasswordMatched());
        EXPECT_EQ(pdf.getEncryptionKey().size(), 32u); // AES-256
    }

    fs::create_directories(dir_ / "unlocked");
    PDFProcessor::unlockPDF(locked, "s3cret", dir_ / "unlocked");
    const fs::path unlocked = onlyEntry(dir_ / "unlocked");
    EXPECT_TRUE(
        std::regex_match(unlocked.filename().string(), std::regex("report_locked_[0-9a-f]{8}_unlocked_[0-9a-f]{8}\\.pdf")));
    EXPECT_FALSE(needsPassword(unlocked));
    QPDF copy;
    copy.processFile(unlocked.c_str());
    EXPECT_FALSE(copy.isEncrypted());
    EXPECT_EQ(copy.getAllPages().size(), 2u);
}

TEST_F(PDFProcessorTest, UnlockAcceptsTheUserOrTheOwnerPassword)
{
    const Encryption encryption{"reader", "owner"};
    const auto locked = textPdf("two.pdf", {{100, 100, "x"}}, &encryption);
    for (const std::string password : {"reader", "owner"}) {
        fs::remove_all(out());
        fs::create_directories(out());
        PDFProcessor::unlockPDF(locked, password, out());
        EXPECT_FALSE(needsPassword(onlyEntry(out()))) << password;
    }
}

TEST_F(PDFProcessorTest, UnlockRefusesAWrongPassword)
{
    const Encryption encryption{"right", "right"};
    const auto locked = textPdf("doc.pdf", {{100, 100, "x"}}, &encryption);
    for (const std::string password : {"wrong", ""}) {
        const auto error = conversionErrorOf([&] { PDFProcessor::unlockPDF(locked, password, out()); });
        EXPECT_EQ(error, ConversionError::incorrectPassword()) << password;
        EXPECT_EQ(error.errorDescription(), "Incorrect password");
    }
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, UnlockingAnOpenDocumentCopiesIt)
{
    const auto plain = textPdf("open.pdf", {{100, 100, "x"}});
    PDFProcessor::unlockPDF(plain, "anything", out());
    const fs::path copy = onlyEntry(out());
    EXPECT_TRUE(std::regex_match(copy.filename().string(), std::regex("open_unlocked_[0-9a-f]{8}\\.pdf")));
    EXPECT_EQ(pageSizes(copy).size(), 1u);
}

TEST_F(PDFProcessorTest, LockingWithAnEmptyPasswordIsRefused)
{
    const auto plain = textPdf("open.pdf", {{100, 100, "x"}});
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::lockPDF(plain, "", out()); }), ConversionError::encryptionFailed());
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, ExtractsTextInPageOrder)
{
    const auto pdf = textPdf("letter.pdf", {{300, 100, "Hello there"}, {300, 100, ""}, {300, 100, "Second page"}});
    PDFProcessor::extractText(pdf, out());
    const fs::path text = onlyEntry(out());
    EXPECT_TRUE(std::regex_match(text.filename().string(), std::regex("letter_[0-9a-f]{8}\\.txt")));
    const std::string content = readFile(text);
    const auto hello = content.find("Hello there");
    const auto second = content.find("Second page");
    ASSERT_NE(hello, std::string::npos) << content;
    ASSERT_NE(second, std::string::npos) << content;
    EXPECT_LT(hello, second);
    EXPECT_EQ(content.find('\f'), std::string::npos);
}

// Pages are read on several threads; the early pages carry the most text, so they tend
// to be finished last.
TEST_F(PDFProcessorTest, TextOfManyPagesKeepsPageOrder)
{
    constexpr int pages = 64;
    std::vector<TextPage> document;
    for (int page = 1; page <= pages; ++page) {
        std::string text = "Page" + std::to_string(page) + "x";
        for (int word = 0; word < (pages - page) * 4; ++word)
            text += " filler";
        document.push_back({612, 792, text});
    }
    PDFProcessor::extractText(textPdf("long.pdf", document), out());
    const std::string content = readFile(onlyEntry(out()));
    std::size_t previous = 0;
    for (int page = 1; page <= pages; ++page) {
        const std::size_t at = content.find("Page" + std::to_string(page) + "x");
        ASSERT_NE(at, std::string::npos) << page;
        EXPECT_GE(at, previous) << page;
        previous = at;
    }
}

TEST_F(PDFProcessorTest, DocumentWithoutTextHasNoTextContent)
{
    PDFProcessor::imageToPDF(image("scan.png", solidImage(50, 50, red)), in());
    fs::path scanned;
    for (const auto& name : entryNamesIn(in()))
        if (name.ends_with(".pdf"))
            scanned = in() / name;
    ASSERT_FALSE(scanned.empty());
    const auto error = conversionErrorOf([&] { PDFProcessor::extractText(scanned, out()); });
    EXPECT_EQ(error, ConversionError::noTextContent());
    EXPECT_EQ(error.errorDescription(), "No text content found in this file");
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, TextFileIsCopiedWhenItIsUtf8)
{
    const auto notes = in() / "notes.md";
    std::ofstream(notes, std::ios::binary) << "Caf\xC3\xA9 list\n- one\n";
    PDFProcessor::extractText(notes, out());
    EXPECT_EQ(readFile(onlyEntry(out())), "Caf\xC3\xA9 list\n- one\n");

    fs::remove_all(out());
    fs::create_directories(out());
    const auto binary = in() / "blob.dat";
    std::ofstream(binary, std::ios::binary) << "ab\xFF\xFE" << '\0' << "cd";
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::extractText(binary, out()); }), ConversionError::noTextContent());
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

TEST_F(PDFProcessorTest, TextFileIsCopiedWithItsByteOrderMark)
{
    const auto notes = in() / "bom.txt";
    std::ofstream(notes, std::ios::binary) << "\xEF\xBB\xBFtext\n";
    PDFProcessor::extractText(notes, out());
    EXPECT_EQ(readFile(onlyEntry(out())), "\xEF\xBB\xBFtext\n");
}

TEST_F(PDFProcessorTest, UnreadableTextFileHasNoTextContent)
{
    for (const auto& unreadable : {in() / "missing.txt", in()}) {
        EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::extractText(unreadable, out()); }), ConversionError::noTextContent())
            << unreadable;
        EXPECT_TRUE(entryNamesIn(out()).empty());
    }
}

TEST(PdfPageRenderer, HugePagesAreDrawnWithinThePixelLimit)
{
    struct Case {
        double width;
        double height;
        double expectedScale;
    };
    const std::vector<Case> cases = {
        {612, 792, 2.0},
        {14400, 14400, std::sqrt(PdfPageRenderer::maxPixels / (14400.0 * 14400.0))},
        {0, 0, 2.0},
    };
    for (const auto& c : cases) {
        const double scale = PdfPageRenderer::renderScale(c.width, c.height);
        EXPECT_NEAR(scale, c.expectedScale, 1e-9);
        EXPECT_LE(c.width * scale * c.height * scale, PdfPageRenderer::maxPixels * 1.0001);
    }
}

TEST_F(PDFProcessorTest, LockedDocumentCannotBeDrawnOrRead)
{
    const Encryption encryption{"pw", "pw"};
    const auto locked = textPdf("locked.pdf", {{100, 100, "x"}}, &encryption);
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::pdfToImages(locked, out()); }), ConversionError::loadFailed(locked));
    EXPECT_EQ(conversionErrorOf([&] { PDFProcessor::extractText(locked, out()); }), ConversionError::loadFailed(locked));
    EXPECT_TRUE(entryNamesIn(out()).empty());
}

namespace {

// Damaged documents qpdf opens, by repairing them, but cannot write with a page.
const std::vector<std::pair<std::string, std::string>> damagedDocuments = {
    {"null-page-tree.pdf", "%PDF-1.4\n"
                           "1 0 obj <</Type/Catalog/Pages null>> endobj\n"
                           "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
                           "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 100 100]>> endobj\n"
                           "trailer <</Root 1 0 R>>\n%%EOF\n"},
    {"direct-trailer.pdf", "%PDF-1.4\ntrailer <</Root <</Type/Catalog/Pages null>> >>\n%%EOF\n"},
};

} // namespace

TEST_F(PDFProcessorTest, DamagedDocumentIsNeverWrittenWithoutPages)
{
    for (const auto& [name, bytes] : damagedDocuments) {
        SCOPED_TRACE(name);
        const auto damaged = in() / name;
        std::ofstream(damaged, std::ios::binary) << bytes;
        for (const auto& operation : {PDFProcessor::lockPDF, PDFProcessor::unlockPDF}) {
            const auto error = conversionErrorOf([&] { operation(damaged, "pw", out()); });
            EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
            EXPECT_EQ(error.errorDescription(), "Could not save the converted file");
            EXPECT_TRUE(entryNamesIn(out()).empty());
        }
    }
}

// qpdf reads and writes such a document without a warning, so the written file is not
// read again: the page check must still hold.
TEST_F(PDFProcessorTest, SoundDocumentWithoutPagesIsNeverWritten)
{
    const auto empty = textPdf("empty.pdf", {});
    for (const auto& operation : {PDFProcessor::lockPDF, PDFProcessor::unlockPDF}) {
        const auto error = conversionErrorOf([&] { operation(empty, "pw", out()); });
        EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
        EXPECT_TRUE(entryNamesIn(out()).empty());
    }
}

namespace {

// The first page's text as poppler, the reader behind most viewers here, reads it; none
// when poppler cannot open the file with `password`.
std::optional<std::string> popplerText(const fs::path& file, const std::string& password = "")
{
    const std::unique_ptr<poppler::document> document(poppler::document::load_from_file(file.string(), password, password));
    if (!document || document->is_locked() || document->pages() < 1)
        return std::nullopt;
    const std::unique_ptr<poppler::page> page(document->create_page(0));
    const auto text = page->text().to_utf8();
    std::string trimmed(text.begin(), text.end());
    trimmed.erase(trimmed.find_last_not_of(" \n\f") + 1);
    return trimmed;
}

// A document whose cross-reference table is not where "startxref" says: qpdf repairs it
// on reading and writes it whole.
std::string withWrongStartxref(const fs::path& sound)
{
    std::string bytes = readFile(sound);
    const auto at = bytes.rfind("startxref\n");
    const auto end = bytes.find('\n', at + 10);
    bytes.replace(at + 10, end - (at + 10), "12");
    return bytes;
}

// A trailer holding the catalog itself: qpdf writes it with a trailer poppler refuses.
const std::string directRoot = "%PDF-1.4\n"
                               "1 0 obj <</Type/Pages/Kids[2 0 R]/Count 1>> endobj\n"
                               "2 0 obj <</Type/Page/Parent 1 0 R/MediaBox[0 0 200 100]/Contents 3 0 R"
                               "/Resources<</Font<</F1 4 0 R>>>> >> endobj\n"
                               "3 0 obj <</Length 36>> stream\nBT /F1 12 Tf 20 20 Td (kept) Tj ET\nendstream endobj\n"
                               "4 0 obj <</Type/Font/Subtype/Type1/BaseFont/Helvetica>> endobj\n"
                               "trailer <</Root <</Type/Catalog/Pages 1 0 R>> >>\n%%EOF\n";

} // namespace

// Damaged documents qpdf repairs: the copies open in poppler as in qpdf, the locked one
// only with its password.
TEST_F(PDFProcessorTest, RepairedDocumentsAreWrittenSoViewersOpenThem)
{
    const auto sound = textPdf("sound.pdf", {{200, 100, "kept"}});
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"wrong-startxref.pdf", withWrongStartxref(sound)},
        {"direct-root.pdf", directRoot},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        const auto input = in() / name;
        std::ofstream(input, std::ios::binary) << bytes;

        fs::remove_all(out());
        fs::create_directories(out() / "locked");
        fs::create_directories(out() / "unlocked");
        PDFProcessor::lockPDF(input, "pw", out() / "locked");
        const auto locked = onlyEntry(out() / "locked");
        ASSERT_FALSE(locked.empty());
        EXPECT_EQ(popplerText(locked, "pw").value_or("none"), "kept");
        EXPECT_EQ(pageSizes(locked, "pw"), (std::vector<std::pair<double, double>>{{200, 100}}));
        EXPECT_EQ(popplerText(locked), std::nullopt);
        EXPECT_TRUE(needsPassword(locked));

        PDFProcessor::unlockPDF(input, "", out() / "unlocked");
        const auto unlocked = onlyEntry(out() / "unlocked");
        ASSERT_FALSE(unlocked.empty());
        EXPECT_EQ(popplerText(unlocked).value_or("none"), "kept");
        EXPECT_EQ(pageSizes(unlocked), (std::vector<std::pair<double, double>>{{200, 100}}));
    }
}

TEST_F(PDFProcessorTest, UnlockKeepsTheWholeDocumentWhenItCan)
{
    const auto plain = textPdf("plain.pdf", {{100, 100, "one"}, {100, 100, "two"}});
    const auto marked = in() / "marked.pdf";
    {
        QPDF pdf;
        pdf.processFile(plain.c_str());
        auto outline = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines /Count 0 >>"));
        pdf.getRoot().replaceKey("/Outlines", outline);
        QPDFWriter writer(pdf, marked.c_str());
        writer.write();
    }
    PDFProcessor::unlockPDF(marked, "", out());
    QPDF unlocked;
    unlocked.processFile(onlyEntry(out()).c_str());
    EXPECT_TRUE(unlocked.getRoot().hasKey("/Outlines"));
    EXPECT_EQ(unlocked.getAllPages().size(), 2u);
}
