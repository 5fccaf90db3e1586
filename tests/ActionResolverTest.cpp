#include "State/ActionResolver.h"
#include "Converters/Image/ImageWriters.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"
#include "support/ZipFixtures.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

// What one dropped item is made of at test time.
enum class Made { emptyFile, text, plainZip, protectedZip, plainPdf, lockedPdf, directory };

struct Item {
    std::string name;
    Made made = Made::emptyFile;
    std::string text = {};
};

std::filesystem::path make(const test::TempDir& dir, const Item& item)
{
    const auto path = dir / item.name;
    switch (item.made) {
    case Made::emptyFile: return dir.write(item.name, "");
    case Made::text: return dir.write(item.name, item.text);
    case Made::plainZip: return test::writeZip(path);
    case Made::protectedZip: return test::writeZip(path, "secret");
    case Made::plainPdf: return test::writePdf(path);
    case Made::lockedPdf: return test::writePdf(path, test::PdfPasswords{"u", "o"});
    case Made::directory: std::filesystem::create_directories(path); return path;
    }
    return path;
}

// One row as "id", "id fmt,fmt,..." for a row with targets, or
// "id (Title: reason)" for a disabled row.
std::string describe(const FileAction& action)
{
    std::string text = action.id;
    for (std::size_t i = 0; i < action.subOptions.size(); ++i)
        text += (i == 0 ? " " : ",") + action.subOptions[i].format;
    if (action.disabled)
        text += " (" + action.title + ": " + action.disabledReason.value_or("") + ")";
    return text;
}

std::vector<std::string> describe(const std::vector<FileAction>& actions)
{
    std::vector<std::string> rows;
    for (const auto& action : actions)
        rows.push_back(describe(action));
    return rows;
}

struct ResolverCase {
    const char* name;
    std::vector<Item> items;
    std::vector<std::string> rows;
    std::optional<FileCategory> tab = std::nullopt;
    ActionCapabilities capabilities = {};
};

const ActionCapabilities summaries{false, true};
const ActionCapabilities avif{true, false};

const std::string allImages = "png,jpg,webp,heic,tiff,gif,bmp";
const std::string noSuchType = "No actions available for this file type";
const std::string noSuchTypes = "No actions available for these file types";

std::vector<FileAction> resolve(const test::TempDir& dir, const ResolverCase& testCase)
{
    std::vector<std::filesystem::path> urls;
    for (const auto& item : testCase.items)
        urls.push_back(make(dir, item));
    const auto payload = DropPayload::from(urls);
    std::optional<CategoryGroup> group;
    for (const auto& candidate : payload.groups)
        if (!group && (!testCase.tab || candidate.category == *testCase.tab))
            group = candidate;
    return ActionResolver{payload, group, testCase.tab, testCase.capabilities}.suggestedActions();
}

void PrintTo(const ResolverCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ResolverCases : public ::testing::TestWithParam<ResolverCase> { };

} // namespace

TEST_P(ResolverCases, OfferedRows)
{
    test::TempDir dir;
    EXPECT_EQ(describe(resolve(dir, GetParam())), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, ResolverCases,
    ::testing::Values(
        ResolverCase{"SinglePng",
                     {{"photo.png"}},
                     {"convert_image jpg,webp,heic,tiff,gif,bmp", "remove_bg", "compress_image", "image_to_pdf"}},
        ResolverCase{"SingleJpeg",
                     {{"photo.jpeg"}},
                     {"convert_image png,webp,heic,tiff,gif,bmp", "remove_bg", "compress_image", "image_to_pdf"}},
        ResolverCase{"SingleHeif",
                     {{"photo.heif"}},
                     {"convert_image png,jpg,webp,tiff,gif,bmp", "remove_bg", "compress_image", "image_to_pdf"}},
        ResolverCase{"ThreePngs",
                     {{"a.png"}, {"b.png"}, {"c.PNG"}},
                     {"convert_image jpg,webp,heic,tiff,gif,bmp", "remove_bg", "compress_image", "merge_pdf"}},
        ResolverCase{
            "PngAndJpg", {{"a.png"}, {"b.jpg"}}, {"convert_image " + allImages, "remove_bg", "compress_image", "merge_pdf"}},
        ResolverCase{"AvifWhenItCanBeWritten",
                     {{"photo.png"}},
                     {"convert_image jpg,webp,avif,heic,tiff,gif,bmp", "remove_bg", "compress_image", "image_to_pdf"},
                     std::nullopt,
                     avif},
        ResolverCase{
            "TifIsNotNormalised", {{"scan.tif"}}, {"convert_image " + allImages, "remove_bg", "compress_image", "image_to_pdf"}},
        ResolverCase{"TiffLosesTiff",
                     {{"scan.tiff"}},
                     {"convert_image png,jpg,webp,heic,gif,bmp", "remove_bg", "compress_image", "image_to_pdf"}},
        ResolverCase{"PictureKindTheReaderLacks", {{"paint.pcx"}}, {"unsupported (Unsupported .PCX: " + noSuchType + ")"}},
        ResolverCase{"PictureKindsTheReaderLacks",
                     {{"a.pcx"}, {"b.tga"}},
                     {"unsupported (Unsupported Files: " + noSuchTypes + ")"}},
        ResolverCase{"SingleVideo", {{"clip.mp4"}}, {"extract_audio m4a,mp3,wav", "compress_video", "convert_video mov,m4v"}},
        ResolverCase{"SingleAudio", {{"song.mp3"}}, {"convert_audio m4a,wav"}},
        // Sound and film the media processors do not read: playlists, MIDI, tracker modules.
        ResolverCase{"Midi", {{"tune.mid"}}, {"unsupported (Unsupported .MID: " + noSuchType + ")"}},
        ResolverCase{"Playlist", {{"radio.pls"}}, {"unsupported (Unsupported .PLS: " + noSuchType + ")"}},
        ResolverCase{"CoreAudio", {{"memo.caf"}}, {"convert_audio m4a,wav,mp3"}},
        ResolverCase{"PdfWithoutSummaries", {{"doc.pdf", Made::plainPdf}}, {"pdf_to_images", "lock_pdf", "extract_text"}},
        ResolverCase{"PdfWithSummaries",
                     {{"doc.pdf", Made::plainPdf}},
                     {"pdf_to_images", "lock_pdf", "extract_text", "summarize"},
                     std::nullopt,
                     summaries},
        ResolverCase{"TwoPdfsWithSummaries",
                     {{"a.pdf", Made::plainPdf}, {"b.pdf", Made::plainPdf}},
                     {"merge_pdfs", "pdf_to_images", "lock_pdf", "extract_text", "summarize (Summarize: Single document only)"},
                     std::nullopt,
                     summaries},
        ResolverCase{"TwoPdfsWithoutSummaries",
                     {{"a.pdf", Made::plainPdf}, {"b.pdf", Made::plainPdf}},
                     {"merge_pdfs", "pdf_to_images", "lock_pdf", "extract_text"}},
        ResolverCase{"PdfTabBesideImages",
                     {{"a.png"}, {"doc.pdf", Made::plainPdf}, {"b.png"}},
                     {"pdf_to_images", "lock_pdf", "extract_text", "summarize (Summarize: Single document only)"},
                     FileCategory::document,
                     summaries},
        ResolverCase{"LockedPdf", {{"locked.pdf", Made::lockedPdf}}, {"unlock_pdf"}, std::nullopt, summaries},
        ResolverCase{"ProtectedZip", {{"secret.zip", Made::protectedZip}}, {"unlock_extract_zip"}},
        ResolverCase{"PlainZip", {{"plain.zip", Made::plainZip}}, {"extract_archive", "compress_zip_pw"}},
        ResolverCase{"TwoZipsFirstProtected",
                     {{"a.zip", Made::protectedZip}, {"b.zip", Made::plainZip}},
                     {"unsupported (Unlock One at a Time: Drop a single protected file to unlock)"}},
        ResolverCase{"TwoZipsFirstPlain",
                     {{"a.zip", Made::plainZip}, {"b.zip", Made::protectedZip}},
                     {"extract_archive", "compress_zip_pw"}},
        ResolverCase{"ProtectedZipAndTar",
                     {{"a.zip", Made::protectedZip}, {"b.tar"}},
                     {"unsupported (Unsupported Files: " + noSuchTypes + ")"}},
        ResolverCase{"JsonAndCsv", {{"a.json"}, {"b.csv"}}, {"base64_encode"}},
        ResolverCase{"Json", {{"a.json"}}, {"format_json", "minify_json", "json_to_csv", "base64_encode"}},
        ResolverCase{"Tsv", {{"a.tsv"}}, {"csv_to_json", "base64_encode"}},
        ResolverCase{"Yml", {{"a.yml"}}, {"yaml_to_json", "base64_encode"}},
        ResolverCase{"Plist", {{"a.plist"}}, {"xml_to_json", "base64_encode"}},
        ResolverCase{"Xml", {{"a.xml"}}, {"base64_encode"}},
        ResolverCase{"Toml", {{"a.toml"}}, {"base64_encode", "base64_decode"}},
        ResolverCase{"Base64Keys", {{"keys.txt", Made::text, "U2VjcmV0IGtleQ==\n"}}, {"base64_decode"}},
        ResolverCase{"WordsOnly", {{"notes.txt", Made::text, "meeting at 10 with Ana"}}, {"base64_decode"}},
        ResolverCase{"EmptyText", {{"notes.txt", Made::text, ""}}, {"unsupported (Unsupported .TXT: " + noSuchType + ")"}},
        ResolverCase{"BlankText", {{"notes.txt", Made::text, " \n\t\n"}}, {"unsupported (Unsupported .TXT: " + noSuchType + ")"}},
        ResolverCase{
            "TextWithFullStop", {{"notes.txt", Made::text, "Done."}}, {"unsupported (Unsupported .TXT: " + noSuchType + ")"}},
        ResolverCase{"TextTabReadsItsOwnFile",
                     {{"a.png", Made::text, "not base64!"}, {"b.png"}, {"keys.txt", Made::text, "SGVsbG8="}},
                     {"base64_decode"},
                     FileCategory::other},
        ResolverCase{"DocxAndRtf", {{"a.docx"}, {"b.rtf"}}, {"unsupported (Unsupported Files: " + noSuchTypes + ")"}},
        ResolverCase{"TwoDocx", {{"a.docx"}, {"b.docx"}}, {"unsupported (Unsupported .DOCX: " + noSuchType + ")"}},
        ResolverCase{"NoExtension", {{"README"}}, {"unsupported (Unsupported File: " + noSuchType + ")"}},
        ResolverCase{"HighlyMixed",
                     {{"photo.png"}, {"clip.mp4"}, {"song.mp3"}},
                     {"convert_image jpg,webp,heic,tiff,gif,bmp", "remove_bg", "compress_image", "image_to_pdf", "compress_zip"}},
        ResolverCase{"HighlyMixedWithTab",
                     {{"photo.png"}, {"clip.mp4"}, {"song.mp3"}},
                     {"extract_audio m4a,mp3,wav", "compress_video", "convert_video mov,m4v"},
                     FileCategory::video},
        ResolverCase{"SingleFolder", {{"Photos", Made::directory}}, {"compress_zip", "compress_zip_pw"}},
        ResolverCase{"SingleFolderNamedLikeText", {{"notes.txt", Made::directory}}, {"compress_zip", "compress_zip_pw"}},
        ResolverCase{"FolderNamedLikeAZip", {{"Backup.zip", Made::directory}}, {"extract_archive", "compress_zip_pw"}},
        ResolverCase{"TwoFoldersAndAFile",
                     {{"A", Made::directory}, {"B.png", Made::directory}, {"c.docx"}},
                     {"compress_zip", "compress_zip_pw"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ActionResolver, NothingToResolveGivesNoRows)
{
    const auto payload = DropPayload::from({"/nonexistent/a.png"});
    EXPECT_TRUE((ActionResolver{std::nullopt, payload.groups.front(), std::nullopt, {}}.suggestedActions().empty()));
    EXPECT_TRUE((ActionResolver{payload, std::nullopt, std::nullopt, {}}.suggestedActions().empty()));
}

TEST(ActionResolver, TrailingSlashOnAFolderChangesNothing)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "Photos");
    const auto payload = DropPayload::from({(dir / "Photos").string() + "/"});
    EXPECT_EQ(describe(ActionResolver{payload, payload.groups.front(), std::nullopt, {}}.suggestedActions()),
              (std::vector<std::string>{"compress_zip", "compress_zip_pw"}));
}

TEST(ActionResolver, RowTitlesAndIcons)
{
    const auto payload = DropPayload::from(
        {"/nonexistent/a.png", "/nonexistent/b.png", "/nonexistent/c.mp4", "/nonexistent/d.mp3"});
    const auto rows = ActionResolver{payload, payload.groups.front(), std::nullopt, {}}.suggestedActions();
    std::vector<std::string> titles;
    for (const auto& row : rows)
        titles.push_back(row.title + " / " + row.icon);
    EXPECT_EQ(titles, (std::vector<std::string>{"Convert To / arrow.triangle.2.circlepath",
                                                "Remove Background / person.crop.rectangle.fill",
                                                "Compress Image / arrow.down.circle.fill", "Merge into PDF / doc.richtext.fill",
                                                "Compress to ZIP / archivebox.fill"}));
    EXPECT_EQ(rows.front().subOptions.front(), (ConversionTarget{"to_jpg", "jpg", "JPG"}));
}

TEST(ActionResolver, TargetListsAndNormaliser)
{
    const auto labels = [](const std::vector<ConversionTarget>& targets) {
        std::string text;
        for (const auto& t : targets)
            text += (text.empty() ? "" : " ") + t.id + "=" + t.label;
        return text;
    };
    EXPECT_EQ(labels(ActionResolver::imageTargets(std::nullopt, {true, false})),
              "to_png=PNG to_jpg=JPG to_webp=WebP to_avif=AVIF to_heic=HEIC to_tiff=TIFF to_gif=GIF to_bmp=BMP");
    EXPECT_EQ(labels(ActionResolver::videoTargets("mov")), "to_mp4=MP4 to_m4v=M4V");
    EXPECT_EQ(labels(ActionResolver::audioTargets(std::nullopt)), "to_m4a=M4A to_wav=WAV to_mp3=MP3");
    EXPECT_EQ(labels(ActionResolver::extractAudioTargets()), "to_m4a=M4A to_mp3=MP3 to_wav=WAV");
    EXPECT_EQ(ActionResolver::normalize("JPEG"), "jpg");
    EXPECT_EQ(ActionResolver::normalize("HEIF"), "heic");
    EXPECT_EQ(ActionResolver::normalize("TIF"), "tif");
}

TEST(ActionCapabilities, NothingExtraUntilTheLayersSaySo)
{
    EXPECT_EQ(ActionCapabilities::current().canWriteAVIF, ImageWriters::canWriteAVIF());
    EXPECT_FALSE(ActionCapabilities::current().summariesAvailable);
    EXPECT_FALSE(ActionResolver{}.capabilities.summariesAvailable);
}
