#include "State/ActionCatalogue.h"

#include "Models/ActionIds.h"
#include "Platform/PathNames.h"

namespace vantory::catalogue {

namespace {

FileAction row(std::string id, std::string title, std::string icon)
{
    return FileAction{std::move(id), std::move(title), std::move(icon), {}, false, std::nullopt};
}

FileAction disabledRow(std::string id, std::string title, std::string icon, std::string reason)
{
    FileAction action = row(std::move(id), std::move(title), std::move(icon));
    action.disabled = true;
    action.disabledReason = std::move(reason);
    return action;
}

FileAction convertTo(std::string id)
{
    return row(std::move(id), "Convert To", "arrow.triangle.2.circlepath");
}

FileAction base64Encode()
{
    return row(ActionIds::base64Encode, "Base64 Encode", "lock.rectangle");
}

FileAction toJSON(std::string id)
{
    return row(std::move(id), "Convert to JSON", "curlybraces");
}

FileAction protectWithPassword()
{
    return row(ActionIds::compressZipWithPassword, "Protect with Password", "lock.fill");
}

} // namespace

std::vector<FileAction> imageActions(bool groupIsBatch)
{
    return {convertTo(ActionIds::convertImage),
            row(ActionIds::removeBackground, "Remove Background", "person.crop.rectangle.fill"),
            row(ActionIds::compressImage, "Compress Image", "arrow.down.circle.fill"),
            groupIsBatch ? row(ActionIds::mergeImagesToPdf, "Merge into PDF", "doc.richtext.fill")
                         : row(ActionIds::imageToPdf, "Convert to PDF", "doc.richtext.fill")};
}

std::vector<FileAction> videoActions()
{
    return {row(ActionIds::extractAudio, "Extract Audio", "waveform"),
            row(ActionIds::compressVideo, "Compress Video", "arrow.down.circle.fill"), convertTo(ActionIds::convertVideo)};
}

std::vector<FileAction> audioActions()
{
    return {convertTo(ActionIds::convertAudio)};
}

std::vector<FileAction> folderActions()
{
    return {compressToZIP(), protectWithPassword()};
}

std::vector<FileAction> pdfActions(bool groupIsBatch, bool summariesAvailable)
{
    std::vector<FileAction> actions;
    if (groupIsBatch)
        actions.push_back(row(ActionIds::mergePdfs, "Merge PDFs", "doc.on.doc.fill"));
    actions.push_back(row(ActionIds::pdfToImages, "Convert to Images", "photo.on.rectangle.angled"));
    actions.push_back(row(ActionIds::lockPdf, "Lock PDF", "lock.fill"));
    actions.push_back(row(ActionIds::extractText, "Extract Text", "text.alignleft"));
    if (summariesAvailable)
        actions.push_back(row(ActionIds::summarize, "Summarize", "sparkles"));
    return actions;
}

FileAction unlockPDF()
{
    return row(ActionIds::unlockPdf, "Unlock Document", "lock.fill");
}

std::vector<FileAction> archiveActions()
{
    return {row(ActionIds::extractArchive, "Extract Archive", "archivebox"), protectWithPassword()};
}

FileAction unlockAndExtractZIP()
{
    return row(ActionIds::unlockExtractZip, "Unlock & Extract", "lock.fill");
}

FileAction unlockOneAtATime()
{
    return disabledRow(ActionIds::unsupported, "Unlock One at a Time", "lock.fill", "Drop a single protected file to unlock");
}

std::vector<FileAction> dataActions(const std::string& extension)
{
    const std::string lower = lowercased(extension);
    if (lower == "json")
        return {row(ActionIds::formatJson, "Format / Beautify", "text.alignleft"),
                row(ActionIds::minifyJson, "Minify", "arrow.down.right.and.arrow.up.left"),
                row(ActionIds::jsonToCsv, "Convert to CSV", "tablecells"), base64Encode()};
    if (lower == "csv" || lower == "tsv")
        return {toJSON(ActionIds::csvToJson), base64Encode()};
    if (lower == "yaml" || lower == "yml")
        return {toJSON(ActionIds::yamlToJson), base64Encode()};
    if (lower == "plist")
        return {toJSON(ActionIds::xmlToJson), base64Encode()};
    if (lower == "xml")
        return {base64Encode()};
    return {base64Encode(), base64Decode()};
}

FileAction base64Decode()
{
    return row(ActionIds::base64Decode, "Base64 Decode", "lock.rectangle.stack");
}

FileAction unsupportedFileType(const std::string& extension)
{
    const bool unnamed = extension.empty() || extension == "folder";
    return disabledRow(ActionIds::unsupported, unnamed ? "Unsupported File" : "Unsupported ." + uppercased(extension),
                       "exclamationmark.triangle", "No actions available for this file type");
}

FileAction unsupportedFileTypes()
{
    return disabledRow(ActionIds::unsupported, "Unsupported Files", "exclamationmark.triangle",
                       "No actions available for these file types");
}

FileAction compressToZIP()
{
    return row(ActionIds::compressZip, "Compress to ZIP", "archivebox.fill");
}

} // namespace vantory::catalogue
