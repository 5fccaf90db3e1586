#include "Models/FileCategory.h"

#include <gtest/gtest.h>

using namespace vantory;

TEST(FileCategory, FromExtension)
{
    const std::vector<std::pair<std::string, FileCategory>> cases = {
        {"png", FileCategory::image},    {"JPG", FileCategory::image},    {"jpeg", FileCategory::image},
        {"heic", FileCategory::image},   {"heif", FileCategory::image},   {"tif", FileCategory::image},
        {"gif", FileCategory::image},    {"svg", FileCategory::image},    {"DNG", FileCategory::image},
        {"cr2", FileCategory::image},    {"nef", FileCategory::image},    {"arw", FileCategory::image},
        {"orf", FileCategory::image},    {"rw2", FileCategory::image},    {"mp4", FileCategory::video},
        {"MOV", FileCategory::video},    {"m4v", FileCategory::video},    {"mkv", FileCategory::video},
        {"mp3", FileCategory::audio},    {"m4a", FileCategory::audio},    {"wav", FileCategory::audio},
        {"flac", FileCategory::audio},   {"CAF", FileCategory::audio},    {"pdf", FileCategory::document}, {"PDF", FileCategory::document},
        {"json", FileCategory::data},    {"csv", FileCategory::data},     {"tsv", FileCategory::data},
        {"yaml", FileCategory::data},    {"yml", FileCategory::data},     {"XML", FileCategory::data},
        {"plist", FileCategory::data},   {"toml", FileCategory::data},    {"zip", FileCategory::archive},
        {"tar", FileCategory::archive},  {"gz", FileCategory::archive},   {"tgz", FileCategory::archive},
        {"bz2", FileCategory::archive},  {"txt", FileCategory::other},    {"docx", FileCategory::other},
        {"rtf", FileCategory::other},    {"html", FileCategory::other},   {"readme", FileCategory::other},
        {"folder", FileCategory::other}, {"", FileCategory::other},       {"7z", FileCategory::other},
    };
    for (const auto& [extension, category] : cases)
        EXPECT_EQ(fileCategoryFromExtension(extension), category) << '"' << extension << '"';
}

TEST(FileCategory, NamesAndRawValues)
{
    struct Names {
        FileCategory category;
        const char* raw;
        const char* plural;
        const char* icon;
    };
    const std::vector<Names> table = {
        {FileCategory::image, "image", "Images", "photo.fill"},
        {FileCategory::video, "video", "Videos", "film.fill"},
        {FileCategory::audio, "audio", "Audio Files", "music.note"},
        {FileCategory::document, "document", "Documents", "doc.fill"},
        {FileCategory::data, "data", "Data Files", "curlybraces"},
        {FileCategory::archive, "archive", "Archives", "archivebox.fill"},
        {FileCategory::folder, "folder", "Folders", "folder.fill"},
        {FileCategory::other, "other", "Files", "doc.fill"},
    };
    ASSERT_EQ(table.size(), allFileCategories.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(allFileCategories[i], table[i].category);
        EXPECT_EQ(rawValue(table[i].category), table[i].raw);
        EXPECT_EQ(fileCategoryFromRawValue(table[i].raw), table[i].category);
        EXPECT_EQ(pluralName(table[i].category), table[i].plural);
        EXPECT_EQ(iconName(table[i].category), table[i].icon);
    }
    EXPECT_EQ(fileCategoryFromRawValue("Image"), std::nullopt);
    EXPECT_EQ(fileCategoryFromRawValue(""), std::nullopt);
}
