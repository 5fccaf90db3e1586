#include "State/ActionCatalogue.h"

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
    return row("base64_encode", "Base64 Encode", "lock.rectangle");
}

FileAction toJSON(std::string id)
{
    return row(std::move(id), "Convert to JSON", "curlybraces");
}

FileAction protectWithPassword()
{
    return row("compress_zip_pw", "Protect with Password", "lock.fill");
}

} // namespace

std::vector<FileAction> imageActions(bool groupIsBatch)
{
    return {convertTo("convert_image"),
            row("remove_bg", "Remove Background", "person.crop.rectangle.fill"),
            row("compress_image", "Compress Image", "arrow.down.circle.fill"),
            groupIsBatch ? row("merge_pdf", "Merge into PDF", "doc.richtext.fill")
                         : row("image_to_pdf", "Convert to PDF", "doc.richtext.fill")};
}

std::vector<FileAction> videoActions()
{
    return {row("extract_audio", "Extract Audio", "waveform"),
            row("compress_video", "Compress Video", "arrow.down.circle.fill"),
            convertTo("convert_video")};
}

std::vector<FileAction> audioActions()
{
    return {convertTo("convert_audio")};
}

std::vector<FileAction> folderActions()
{
    return {compressToZIP(), protectWithPassword()};
}

std::vector<FileAction> pdfActions(bool groupIsBatch, bool summariesAvailable)
{
    std::vector<FileAction> actions;
    if (groupIsBatch)
        actions.push_back(row("merge_pdfs", "Merge PDFs", "doc.on.doc.fill"));
    actions.push_back(row("pdf_to_images", "Convert to Images", "photo.on.rectangle.angled"));
    actions.push_back(row("lock_pdf", "Lock PDF", "lock.fill"));
    actions.push_back(row("extract_text", "Extract Text", "text.alignleft"));
    if (summariesAvailable)
        actions.push_back(row("summarize", "Summarize", "sparkles"));
    return actions;
}

FileAction unlockPDF()
{
    return row("unlock_pdf", "Unlock Document", "lock.fill");
}

std::vector<FileAction> archiveActions()
{
    return {row("extract_archive", "Extract Archive", "archivebox"), protectWithPassword()};
}

FileAction unlockAndExtractZIP()
{
    return row("unlock_extract_zip", "Unlock & Extract", "lock.fill");
}

FileAction unlockOneAtATime()
{
    return disabledRow("unsupported", "Unlock One at a Time", "lock.fill", "Drop a single protected file to unlock");
}

std::vector<FileAction> dataActions(const std::string& extension)
{
    const std::string lower = lowercased(extension);
    if (lower == "json")
        return {row("format_json", "Format / Beautify", "text.alignleft"),
                row("minify_json", "Minify", "arrow.down.right.and.arrow.up.left"),
                row("json_to_csv", "Convert to CSV", "tablecells"), base64Encode()};
    if (lower == "csv" || lower == "tsv")
        return {toJSON("csv_to_json"), base64Encode()};
    if (lower == "yaml" || lower == "yml")
        return {toJSON("yaml_to_json"), base64Encode()};
    if (lower == "plist")
        return {toJSON("xml_to_json"), base64Encode()};
    if (lower == "xml")
        return {base64Encode()};
    return {base64Encode(), base64Decode()};
}

FileAction base64Decode()
{
    return row("base64_decode", "Base64 Decode", "lock.rectangle.stack");
}

FileAction unsupportedFileType(const std::string& extension)
{
    const bool unnamed = extension.empty() || extension == "folder";
    return disabledRow("unsupported", unnamed ? "Unsupported File" : "Unsupported ." + uppercased(extension),
                       "exclamationmark.triangle", "No actions available for this file type");
}

FileAction unsupportedFileTypes()
{
    return disabledRow("unsupported", "Unsupported Files", "exclamationmark.triangle",
                       "No actions available for these file types");
}

FileAction compressToZIP()
{
    return row("compress_zip", "Compress to ZIP", "archivebox.fill");
}

} // namespace vantory::catalogue
