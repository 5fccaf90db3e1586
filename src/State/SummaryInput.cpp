#include "State/SummaryInput.h"

#include "Converters/ConversionError.h"
#include "Converters/Pdf/DocumentText.h"
#include "Platform/InputFile.h"
#include "Platform/PlatformError.h"

#include <QString>
#include <QTextBoundaryFinder>

namespace vantory {

namespace {

std::optional<std::string> documentText(const std::filesystem::path& document)
{
    if (QString::fromStdString(document.extension().string()).toLower() == QStringLiteral(".pdf")) {
        try {
            return DocumentText::pdfText(document);
        } catch (const ConversionError&) {
            return std::nullopt;
        }
    }
    try {
        return readUTF8File(document);
    } catch (const PlatformError&) {
        return std::string(); // unreadable or not UTF-8: no text to summarise
    }
}

} // namespace

SummaryInput SummaryInput::read(const std::filesystem::path& document)
{
    const auto text = documentText(document);
    if (!text)
        return {{}, false, "Could not open the file"};
    // White space alone gives the summariser nothing to work with either.
    if (QString::fromStdString(*text).trimmed().isEmpty())
        return {{}, false, noTextMessage};
    auto [cut, wasCut] = firstCharacters(*text, longestText);
    return {std::move(cut), wasCut, std::nullopt};
}

std::pair<std::string, bool> firstCharacters(const std::string& text, std::size_t count)
{
    const QString whole = QString::fromStdString(text);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, whole);
    for (std::size_t taken = 0; taken < count; ++taken)
        if (finder.toNextBoundary() == -1)
            return {text, false};
    const qsizetype end = finder.position();
    if (end >= whole.size())
        return {text, false};
    return {whole.left(end).toStdString(), true};
}

} // namespace vantory
