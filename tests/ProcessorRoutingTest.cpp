// Every routed action of the built processors, through the real router, on real files.
#include "Converters/ConversionRouter.h"
#include "support/EventLoop.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"
#include "support/ZipFixtures.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantory;

namespace {

struct RoutedCase {
    std::string actionId;
    std::vector<std::string> inputs; // names of fixtures made below
    std::optional<std::string> password;
    std::optional<std::string> targetFormat = std::nullopt;
};

void PrintTo(const RoutedCase& c, std::ostream* os)
{
    *os << c.actionId;
}

class ProcessorRouting : public ::testing::TestWithParam<RoutedCase> {
protected:
    test::TempDir dir;

    void SetUp() override
    {
        dir.write("data.json", R"([{"name": "a", "size": 1}, {"name": "b", "size": 2}])");
        dir.write("table.csv", "name,size\na,1\nb,2\n");
        dir.write("config.yaml", "name: vantory\ncount: 3\n");
        dir.write("info.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>Name</key><string>Vantory</string></dict></plist>)");
        dir.write("encoded.txt", "aGVsbG8gd29ybGQ=");
        test::solidImage(40, 30, {200, 10, 10}).pngsave((dir / "red.png").c_str());
        test::solidImage(30, 40, {10, 200, 10}).pngsave((dir / "green.png").c_str());
        vips::VImage disc = test::solidImage(90, 60, {240, 240, 240}).copy_memory();
        disc.draw_circle({20, 20, 20}, 45, 30, 18, vips::VImage::option()->set("fill", true));
        disc.pngsave((dir / "disc.png").c_str());
        test::writeTextPdf(dir / "one.pdf", {{200, 200, "first document"}});
        test::writeTextPdf(dir / "two.pdf", {{200, 200, "second"}, {200, 200, "page"}});
        test::writeZip(dir / "plain.zip");
        test::writeZip(dir / "LOUD.ZIP");
        test::writeZip(dir / "protected.zip", "pw");
        std::filesystem::create_directory(dir / "folder");
        dir.write("folder/inside.txt", "inside");
        runProcess("/usr/bin/tar", {"-czf", (dir / "bundle.tgz").string(), "-C", dir.path().string(), "folder"});
        runProcess("/usr/bin/tar", {"-czf", (dir / "bundle.tar.gz").string(), "-C", dir.path().string(), "folder"});
        const test::Encryption password{"pw", "pw"};
        test::writeTextPdf(dir / "locked.pdf", {{200, 200, "secret"}}, &password);
        makeMediaInputs();
    }

    // Made only for the cases that use them: each takes a run of the ffmpeg tool.
    void makeMediaInputs()
    {
        for (const auto& name : GetParam().inputs) {
            if (name == "tone.wav")
                test::makeTone(dir / name, 0.2);
            else if (name == "clip.mp4")
                test::makeClip(dir / name, {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
            else if (name == "clip.avi")
                test::makeClip(dir / name, {"-c:v", "mjpeg", "-q:v", "2"}, false, {}, "160x120");
        }
    }
};

} // namespace

TEST_P(ProcessorRouting, SucceedsAndWritesIntoTheOutputFolder)
{
    const auto& c = GetParam();
    std::vector<std::filesystem::path> urls;
    for (const auto& name : c.inputs)
        urls.push_back(dir / name);
    const auto out = dir / "out";
    std::filesystem::create_directory(out);

    ConversionRouter router;
    QObject context;
    std::optional<BatchResult> result;
    router.convertBatch({urls, c.actionId, c.targetFormat, c.password, out}, &context, {}, [&](BatchResult r) { result = r; });
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }));
    EXPECT_EQ(result->failures, 0) << result->firstErrorMessage.value_or("");
    EXPECT_GE(result->successes, 1);
    EXPECT_FALSE(test::entriesIn(out).empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, ProcessorRouting,
    ::testing::Values(RoutedCase{"format_json", {"data.json"}, {}}, RoutedCase{"minify_json", {"data.json"}, {}},
                      RoutedCase{"json_to_csv", {"data.json"}, {}}, RoutedCase{"csv_to_json", {"table.csv"}, {}},
                      RoutedCase{"yaml_to_json", {"config.yaml"}, {}}, RoutedCase{"xml_to_json", {"info.plist"}, {}},
                      RoutedCase{"base64_encode", {"data.json"}, {}}, RoutedCase{"base64_decode", {"encoded.txt"}, {}},
                      RoutedCase{"image_to_pdf", {"red.png"}, {}}, RoutedCase{"merge_pdf", {"red.png", "green.png"}, {}},
                      RoutedCase{"merge_pdfs", {"one.pdf", "two.pdf"}, {}}, RoutedCase{"pdf_to_images", {"two.pdf"}, {}},
                      RoutedCase{"lock_pdf", {"one.pdf"}, "pw"}, RoutedCase{"unlock_pdf", {"locked.pdf"}, "pw"},
                      RoutedCase{"extract_text", {"one.pdf"}, {}}, RoutedCase{"extract_archive", {"plain.zip"}, {}},
                      RoutedCase{"extract_archive", {"LOUD.ZIP"}, {}}, RoutedCase{"extract_archive", {"bundle.tgz"}, {}},
                      RoutedCase{"extract_archive", {"bundle.tar.gz"}, {}},
                      RoutedCase{"unlock_extract_zip", {"protected.zip"}, "pw"},
                      RoutedCase{"compress_zip", {"folder", "one.pdf"}, {}},
                      RoutedCase{"compress_zip_pw", {"folder"}, "secret word"},
                      RoutedCase{"convert_image", {"red.png", "green.png"}, {}, "webp"},
                      RoutedCase{"compress_image", {"red.png"}, {}}, RoutedCase{"remove_bg", {"disc.png"}, {}},
                      RoutedCase{"convert_audio", {"tone.wav"}, {}, "mp3"}, RoutedCase{"convert_video", {"clip.mp4"}, {}, "mov"},
                      RoutedCase{"compress_video", {"clip.avi"}, {}}, RoutedCase{"extract_audio", {"clip.mp4"}, {}}),
    [](const auto& info) { return info.param.actionId + "_" + std::to_string(info.index); });

namespace {

// Lets a reader blocked on opening the pipe go on (it then reads nothing), so that a
// failing test ends instead of hanging.
void releaseReadersOf(const std::filesystem::path& pipe)
{
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}

} // namespace

// A pipe or a device under a file's name never reaches a processor: a pipe would block
// the open until a writer comes, a device like /dev/zero never ends. A folder is refused
// too, except by the actions that archive folders.
TEST(ProcessorRoutingOfOddInputs, WhatIsNotAFileIsRefusedAtOnceByName)
{
    struct Action {
        std::string id;
        std::string input;
        std::optional<std::string> targetFormat = std::nullopt;
        std::optional<std::string> password = std::nullopt;
        bool takesFolders = false;
    };
    const std::vector<Action> actions = {
        {"convert_image", "x.png", "webp"}, {"compress_image", "x.jpg"}, {"remove_bg", "x.png"},
        {"image_to_pdf", "x.png"}, {"merge_pdf", "x.png"}, {"merge_pdfs", "x.pdf"},
        {"pdf_to_images", "x.pdf"}, {"lock_pdf", "x.pdf", {}, "pw"}, {"unlock_pdf", "x.pdf", {}, "pw"},
        {"extract_text", "x.txt"}, {"convert_audio", "x.wav", "mp3"}, {"extract_audio", "x.mp4"},
        {"convert_video", "x.mp4", "mov"}, {"compress_video", "x.mov"}, {"format_json", "x.json"},
        {"minify_json", "x.json"}, {"json_to_csv", "x.json"}, {"csv_to_json", "x.csv"},
        {"yaml_to_json", "x.yaml"}, {"xml_to_json", "x.plist"}, {"base64_encode", "x.txt"},
        {"base64_decode", "x.txt"}, {"extract_archive", "x.zip"}, {"extract_archive", "x.tar.gz"},
        {"unlock_extract_zip", "x.zip", {}, "pw"}, {"compress_zip", "x.txt", {}, {}, true},
        {"compress_zip_pw", "x.txt", {}, "pw", true},
    };
    struct Kind {
        std::string label;
        std::string said;
        std::function<void(const std::filesystem::path&)> make;
    };
    // /dev/null stands for /dev/zero: a device all the same, but one that cannot take the
    // test's memory should the refusal ever fail.
    const std::vector<Kind> kinds = {
        {"pipe", "is a named pipe", [](const auto& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"link to a device", "is a device", [](const auto& at) { std::filesystem::create_symlink("/dev/null", at); }},
        {"folder", "is a folder", [](const auto& at) { std::filesystem::create_directory(at); }},
    };
    ConversionRouter router;
    QObject context;
    for (const auto& action : actions) {
        for (const auto& kind : kinds) {
            if (action.takesFolders && kind.label == "folder")
                continue;
            SCOPED_TRACE(action.id + " of a " + kind.label + " named " + action.input);
            test::TempDir dir;
            const auto input = dir / action.input;
            kind.make(input);
            const auto out = dir / "out";
            std::filesystem::create_directory(out);

            std::optional<BatchResult> result;
            router.convertBatch({{input}, action.id, action.targetFormat, action.password, out}, &context, {},
                                [&](BatchResult r) { result = r; });
            const bool atOnce = test::spinUntil([&] { return result.has_value(); }, 5000);
            while (!test::spinUntil([&] { return result.has_value(); }, 100))
                releaseReadersOf(input);
            EXPECT_TRUE(atOnce) << "the action waited on its input";
            EXPECT_EQ(result->successes, 0);
            EXPECT_EQ(result->failures, 1);
            const std::string message = result->firstErrorMessage.value_or("");
            EXPECT_TRUE(message.starts_with("\u201C" + action.input + "\u201D " + kind.said)) << message;
            EXPECT_TRUE(test::entriesIn(out).empty());
        }
    }
}
