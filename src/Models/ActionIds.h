#pragma once

#include <string_view>

// The id of every action: the action card offers it, a run names it, the output folder is
// named after it and the dispatch table routes it. The values go out in telemetry signals:
// never change one.
namespace vantory::ActionIds {

// Images
inline constexpr const char* convertImage = "convert_image";
inline constexpr const char* compressImage = "compress_image";
inline constexpr const char* removeBackground = "remove_bg";

// PDF
inline constexpr const char* imageToPdf = "image_to_pdf";
inline constexpr const char* mergeImagesToPdf = "merge_pdf";
inline constexpr const char* mergePdfs = "merge_pdfs";
inline constexpr const char* pdfToImages = "pdf_to_images";
inline constexpr const char* lockPdf = "lock_pdf";
inline constexpr const char* unlockPdf = "unlock_pdf";
inline constexpr const char* extractText = "extract_text";
inline constexpr const char* summarize = "summarize";

// Audio and video
inline constexpr const char* extractAudio = "extract_audio";
inline constexpr const char* compressVideo = "compress_video";
inline constexpr const char* convertVideo = "convert_video";
inline constexpr const char* convertAudio = "convert_audio";

// Structured data and Base64
inline constexpr const char* formatJson = "format_json";
inline constexpr const char* minifyJson = "minify_json";
inline constexpr const char* jsonToCsv = "json_to_csv";
inline constexpr const char* csvToJson = "csv_to_json";
inline constexpr const char* yamlToJson = "yaml_to_json";
inline constexpr const char* xmlToJson = "xml_to_json"; // property lists, XML or binary
inline constexpr const char* base64Encode = "base64_encode";
inline constexpr const char* base64Decode = "base64_decode";

// Archives
inline constexpr const char* extractArchive = "extract_archive";
inline constexpr const char* unlockExtractZip = "unlock_extract_zip";
inline constexpr const char* compressZip = "compress_zip";
inline constexpr const char* compressZipWithPassword = "compress_zip_pw";

// A disabled row that can never start.
inline constexpr const char* unsupported = "unsupported";

// Whether the user picks the action's output format: a convert action with its targets.
inline bool choosesTargetFormat(std::string_view id)
{
    return id == convertImage || id == convertAudio || id == convertVideo;
}

// Whether the action takes folders as well as files: the archives it makes hold them.
inline bool takesFolders(std::string_view id)
{
    return id == compressZip || id == compressZipWithPassword;
}

} // namespace vantory::ActionIds
