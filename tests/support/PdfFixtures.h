#pragma once

#include "Platform/VipsStartup.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <vips/vips8>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Small images and PDFs made while a test runs, and ways to look inside results.
namespace vantory::test {

struct TextPage {
    double width = 612;
    double height = 792;
    std::string text; // written in Helvetica; empty for a page without text
};

struct Encryption {
    std::string userPassword;
    std::string ownerPassword;
};

inline void writeTextPdf(const std::filesystem::path& file, const std::vector<TextPage>& pages,
                         const Encryption* encryption = nullptr)
{
    QPDF pdf;
    pdf.emptyPDF();
    auto font = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    for (const auto& wanted : pages) {
        auto resources = QPDFObjectHandle::parse("<< /Font << >> >>");
        resources.getKey("/Font").replaceKey("/F1", font);
        auto page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, wanted.width, wanted.height)));
        page.replaceKey("/Resources", resources);
        const std::string content = wanted.text.empty() ? "" : "BT /F1 12 Tf 20 20 Td (" + wanted.text + ") Tj ET";
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }
    QPDFWriter writer(pdf, file.c_str());
    if (encryption)
        writer.setR6EncryptionParameters(encryption->userPassword.c_str(), encryption->ownerPassword.c_str(), true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    writer.write();
}

// An image of `width` x `height` in `colour` (one value per band, alpha last if any).
inline vips::VImage solidImage(int width, int height, const std::vector<double>& colour)
{
    ensureVipsStarted();
    return (vips::VImage::black(width, height) + colour)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(vips::VImage::option()->set("interpretation",
                                          colour.size() <= 2 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
}

// The left half `left`, the right half `right`.
inline vips::VImage splitImage(int width, int height, const std::vector<double>& left, const std::vector<double>& right)
{
    ensureVipsStarted();
    const vips::VImage isLeft = vips::VImage::xyz(width, height).extract_band(0) < width / 2.0;
    return isLeft.ifthenelse(solidImage(width, height, left), solidImage(width, height, right));
}

inline std::vector<double> pixelAt(const std::filesystem::path& image, int x, int y)
{
    ensureVipsStarted();
    return vips::VImage::new_from_file(image.c_str()).getpoint(x, y);
}

inline std::pair<int, int> imageSize(const std::filesystem::path& image)
{
    ensureVipsStarted();
    const auto loaded = vips::VImage::new_from_file(image.c_str());
    return {loaded.width(), loaded.height()};
}

inline std::vector<std::pair<double, double>> pageSizes(const std::filesystem::path& file, const char* password = nullptr)
{
    QPDF pdf;
    pdf.processFile(file.c_str(), password);
    std::vector<std::pair<double, double>> sizes;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        const auto box = page.getMediaBox().getArrayAsRectangle();
        sizes.emplace_back(box.urx - box.llx, box.ury - box.lly);
    }
    return sizes;
}

inline bool needsPassword(const std::filesystem::path& file)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(file.c_str());
        return false;
    } catch (const QPDFExc& error) {
        return error.getErrorCode() == qpdf_e_password;
    }
}

// Every entry's name, hidden ones included, sorted.
inline std::vector<std::string> entryNamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline std::filesystem::path onlyEntry(const std::filesystem::path& folder)
{
    const auto names = entryNamesIn(folder);
    return names.size() == 1 ? folder / names.front() : std::filesystem::path();
}

// A one-page PDF with one filled-in text field named `fieldName`.
inline void writeFormPdf(const std::filesystem::path& file, const std::string& fieldName, const std::string& value)
{
    QPDF pdf;
    pdf.emptyPDF();
    auto page = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 200 100] >>"));
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, ""));
    auto field = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Annot /Subtype /Widget /FT /Tx /Rect [10 10 190 40] /T (" + fieldName + ") /V (" + value + ") >>"));
    field.replaceKey("/P", page);
    auto annots = QPDFObjectHandle::newArray();
    annots.appendItem(field);
    page.replaceKey("/Annots", annots);
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(page), false);
    auto form = QPDFObjectHandle::newDictionary();
    form.replaceKey("/Fields", annots.shallowCopy());
    pdf.getRoot().replaceKey("/AcroForm", form);
    QPDFWriter writer(pdf, file.c_str());
    writer.write();
}

struct PdfPasswords {
    std::string user;
    std::string owner;
};

// Writes a one-page PDF without text; with passwords it is AES-256 encrypted.
inline std::filesystem::path writePdf(const std::filesystem::path& file,
                                      const std::optional<PdfPasswords>& passwords = std::nullopt)
{
    const std::optional<Encryption> encryption = passwords ? std::optional(Encryption{passwords->user, passwords->owner})
                                                           : std::nullopt;
    writeTextPdf(file, {{200, 200, ""}}, encryption ? &*encryption : nullptr);
    return file;
}

} // namespace vantory::test
