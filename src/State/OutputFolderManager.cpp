#include "State/OutputFolderManager.h"

#include "Models/ActionIds.h"
#include "Platform/PathNames.h"

#include <QRandomGenerator>
#include <map>

namespace vantory::OutputFolderManager {

std::string folderWord(const std::string& actionId, const std::optional<std::string>& targetFormat)
{
    using namespace ActionIds;
    static const std::map<std::string, std::string> words = {
        {removeBackground, "transparent"},
        {compressImage, "compressed"},
        {compressVideo, "compressed"},
        {compressZip, "archived"},
        {imageToPdf, "pdf"},
        {mergeImagesToPdf, "merged_pdf"},
        {mergePdfs, "merged_pdf"},
        {pdfToImages, "pages"},
        {lockPdf, "locked"},
        {unlockPdf, "unlocked"},
        {extractAudio, "audio"},
        {extractText, "text"},
        {summarize, "summary"},
        {formatJson, "formatted"},
        {minifyJson, "minified"},
        {jsonToCsv, "csv"},
        {csvToJson, "json"},
        {yamlToJson, "json"},
        {xmlToJson, "json"},
        {base64Encode, "base64"},
        {base64Decode, "decoded"},
        {extractArchive, "extracted"},
        {unlockExtractZip, "extracted"},
        {compressZipWithPassword, "protected"},
    };
    if (choosesTargetFormat(actionId))
        return targetFormat.value_or("converted");
    const auto word = words.find(actionId);
    return word == words.end() ? "converted" : word->second;
}

namespace {

// True only when this call made the folder (an existing one does not count).
bool createdFresh(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::create_directory(folder, error);
}

} // namespace

std::optional<std::filesystem::path> createOutputFolder(const std::filesystem::path& base, const std::filesystem::path& firstFile,
                                                        const std::string& actionId,
                                                        const std::optional<std::string>& targetFormat, int fileCount)
{
    const std::string word = folderWord(actionId, targetFormat);
    const std::string suffix = fileCount < 2 ? nameWithoutExtension(firstFile) : randomID(5);
    if (const auto folder = base / (word + "_" + suffix); createdFresh(folder))
        return folder;

    // The name is taken (an earlier run) or cannot be made (too long): try random names.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string candidate = fileCount < 2 && suffix.size() < 200 ? word + "_" + suffix + "_" + randomID(5)
                                                                           : word + "_" + randomID(5);
        if (const auto folder = base / candidate; createdFresh(folder))
            return folder;
    }
    return std::nullopt;
}

std::string randomID(int length)
{
    return randomID(length, *QRandomGenerator::system());
}

} // namespace vantory::OutputFolderManager
