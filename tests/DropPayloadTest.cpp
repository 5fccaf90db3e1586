#include "Models/DropPayload.h"
#include "support/TempDir.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantory;

namespace {

// Groups as "category:count" in order, e.g. "image:3 video:2".
std::string describeGroups(const DropPayload& payload)
{
    std::string text;
    for (const auto& group : payload.groups)
        text += (text.empty() ? "" : " ") + rawValue(group.category) + ":" + std::to_string(group.count());
    return text;
}

struct HeaderCase {
    const char* name;
    std::vector<std::string> files;
    std::string groups;
    std::string label;
    std::string icon;
    std::optional<std::string> outlierNote;
    bool isBatch;
    bool isHighlyMixed;
};

void PrintTo(const HeaderCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class PayloadHeaders : public ::testing::TestWithParam<HeaderCase> { };

} // namespace

TEST_P(PayloadHeaders, FromDroppedFiles)
{
    const auto& expected = GetParam();
    test::TempDir dir;
    std::vector<std::filesystem::path> urls;
    for (const auto& name : expected.files)
        urls.push_back(dir.write(name, ""));

    const auto payload = DropPayload::from(urls);
    EXPECT_EQ(payload.urls, urls);
    EXPECT_EQ(describeGroups(payload), expected.groups);
    EXPECT_EQ(payload.label, expected.label);
    EXPECT_EQ(payload.icon, expected.icon);
    EXPECT_EQ(payload.outlierNote, expected.outlierNote);
    EXPECT_EQ(payload.isBatch, expected.isBatch);
    EXPECT_EQ(payload.isHighlyMixed, expected.isHighlyMixed);
    EXPECT_FALSE(payload.isEncryptedPDF);
    EXPECT_FALSE(payload.isEncryptedZIP);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, PayloadHeaders,
    ::testing::Values(HeaderCase{"Empty", {}, "", "No files", "doc.fill", std::nullopt, false, false},
                      HeaderCase{"UpperCaseJpg", {"photo.JPG"}, "image:1", ".JPG", "photo.fill", std::nullopt, false, false},
                      HeaderCase{"TarGz", {"archive.tar.gz"}, "archive:1", ".GZ", "archivebox.fill", std::nullopt, false, false},
                      HeaderCase{"Yml", {"notes.yml"}, "data:1", ".YML", "curlybraces", std::nullopt, false, false},
                      HeaderCase{"RawDng", {"scan.DNG"}, "image:1", ".DNG", "photo.fill", std::nullopt, false, false},
                      HeaderCase{"NoExtension", {"readme"}, "other:1", ".", "doc.fill", std::nullopt, false, false},
                      HeaderCase{"NotAPdf", {"fake.pdf"}, "document:1", ".PDF", "doc.fill", std::nullopt, false, false},
                      HeaderCase{"ThreeImagesTwoVideosOneJson",
                                 {"a.png", "clip.mp4", "b.jpg", "data.json", "c.heic", "film.mov"},
                                 "image:3 video:2 data:1",
                                 "3 Images",
                                 "photo.fill",
                                 "+ 2 videos, 1 data files skipped",
                                 true,
                                 true},
                      HeaderCase{
                          "TwoOfOneKind", {"a.png", "b.png"}, "image:2", "2 Images", "photo.fill", std::nullopt, true, false},
                      HeaderCase{"TwoGroupsAreNotHighlyMixed",
                                 {"a.png", "b.png", "c.mp3"},
                                 "image:2 audio:1",
                                 "2 Images",
                                 "photo.fill",
                                 "+ 1 audio files skipped",
                                 true,
                                 false},
                      HeaderCase{"TiesKeepCategoryOrder",
                                 {"data.json", "song.mp3", "photo.png"},
                                 "image:1 audio:1 data:1",
                                 "1 Images",
                                 "photo.fill",
                                 "+ 1 audio files, 1 data files skipped",
                                 true,
                                 true},
                      HeaderCase{"LargestGroupLeadsWhateverTheDropOrder",
                                 {"x.txt", "a.zip", "b.zip"},
                                 "archive:2 other:1",
                                 "2 Archives",
                                 "archivebox.fill",
                                 "+ 1 files skipped",
                                 true,
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DropPayload, FoldersAreGroupedAsFoldersButKeepTheirOwnExtension)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "photos");
    std::filesystem::create_directories(dir / "Backup.zip");
    for (const std::string& path : {(dir / "photos").string(), (dir / "photos").string() + "/"}) {
        SCOPED_TRACE(path);
        const auto payload = DropPayload::from({path});
        EXPECT_EQ(payload.extensions, std::vector<std::string>{""});
        ASSERT_EQ(payload.groups.size(), 1u);
        EXPECT_EQ(payload.groups[0].category, FileCategory::folder);
        EXPECT_EQ(payload.groups[0].extensions, std::vector<std::string>{"folder"});
        EXPECT_EQ(payload.label, ".");
        EXPECT_EQ(payload.icon, "folder.fill");
    }
    const auto zipFolder = DropPayload::from({dir / "Backup.zip"});
    EXPECT_EQ(zipFolder.extensions, std::vector<std::string>{"zip"});
    EXPECT_EQ(zipFolder.groups[0].category, FileCategory::folder);
    EXPECT_EQ(zipFolder.label, ".ZIP");
    EXPECT_FALSE(zipFolder.isEncryptedZIP);
}

TEST(DropPayload, SymbolicLinksAreClassifiedByTheirExtension)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "real");
    std::filesystem::create_directory_symlink(dir / "real", dir / "Link");
    std::filesystem::create_directory_symlink(dir / "real", dir / "Pictures.png");

    const auto plainLink = DropPayload::from({dir / "Link"});
    EXPECT_EQ(plainLink.groups[0].category, FileCategory::other);
    EXPECT_EQ(plainLink.groups[0].extensions, std::vector<std::string>{""});

    const auto slashedLink = DropPayload::from({(dir / "Link").string() + "/"});
    EXPECT_EQ(slashedLink.groups[0].category, FileCategory::other);

    const auto imageLink = DropPayload::from({dir / "Pictures.png"});
    EXPECT_EQ(imageLink.groups[0].category, FileCategory::image);
    EXPECT_EQ(imageLink.groups[0].extensions, std::vector<std::string>{"png"});
}

TEST(DropPayload, MissingPathsStayAndAreClassifiedByExtension)
{
    const std::vector<std::filesystem::path> urls{"/nonexistent/dir/a.png", "/nonexistent/dir/b.pdf"};
    const auto payload = DropPayload::from(urls);
    EXPECT_EQ(payload.urls, urls);
    EXPECT_EQ(describeGroups(payload), "image:1 document:1");
}

TEST(DropPayload, EqualityComparesTheFieldsNotTheProbeAnswers)
{
    test::TempDir dir;
    const auto keys = dir.write("keys.txt", "SGVsbG8=");
    const auto first = DropPayload::from({keys, dir / "b.txt"});
    const auto second = DropPayload::from({keys, dir / "b.txt"});
    EXPECT_TRUE(first.looksLikeBase64Text(keys));
    EXPECT_EQ(first, second);
    EXPECT_NE(first, DropPayload::from({keys}));
    EXPECT_NE(first, DropPayload::from({dir / "b.txt", keys}));
}

TEST(DropPayload, TextIsReadWhileBuildingAndNeverAfter)
{
    struct Row {
        const char* name;
        std::vector<std::string> files; // every one holds Base64-like text
        std::string asked;
        bool looksLikeBase64;
    };
    const std::vector<Row> rows = {
        {"single text", {"keys.txt"}, "keys.txt", true},
        {"text beside images", {"a.png", "b.png", "keys.txt"}, "keys.txt", true},
        {"the group's first file is the one read", {"README", "notes.txt"}, "README", true},
        {"other files of the group are not", {"README", "notes.txt"}, "notes.txt", false},
        {"no text in the group", {"README", "LICENSE"}, "README", false},
        {"data is not read", {"keys.json"}, "keys.json", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        std::vector<std::filesystem::path> paths;
        for (const auto& name : row.files)
            paths.push_back(dir.write(name, "SGVsbG8="));
        const auto payload = DropPayload::from(paths);
        for (const auto& path : paths)
            std::ofstream(path) << "no longer Base64!"; // a later read would now say no
        EXPECT_EQ(payload.looksLikeBase64Text(dir / row.asked), row.looksLikeBase64);
    }
}

// The probes of a drop open what they look into: a pipe under a PDF's or a text's name
// must not keep the drop waiting for a writer.
TEST(DropPayload, PipesAreNotProbed)
{
    for (const std::string name : {"x.pdf", "x.txt"}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const auto pipe = dir / name;
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        auto building = std::async(std::launch::async, [&] { return DropPayload::from({pipe}); });
        const bool atOnce = building.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        while (building.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
            const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); // lets a blocked probe go on
            if (fd >= 0)
                ::close(fd);
        }
        EXPECT_TRUE(atOnce);
        const auto payload = building.get();
        EXPECT_FALSE(payload.isEncryptedPDF);
        EXPECT_FALSE(payload.looksLikeBase64Text(pipe));
    }
}
