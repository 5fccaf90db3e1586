// Every routed action of the built processors, through the real router, on real files.
#include "Converters/ConversionRouter.h"
#include "support/EventLoop.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"
#include "support/ZipFixtures.h"

#include <gtest/gtest.h>

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
