#include "Converters/Archive/ArchiveProcessor.h"
#include "Converters/Archive/ExtractionStaging.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionRouter.h"
#include "Converters/Data/DataFileProcessor.h"
#include "Converters/Pdf/PDFProcessor.h"
#include "Models/ActionIds.h"
#include "Platform/ProcessRunner.h"
#include "support/ArchiveFixtures.h"
#include "support/ChildProcesses.h"
#include "support/EventLoop.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"
#include "support/ToolPathsOverride.h"
#include "support/ZipFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <future>
#include <thread>

using namespace vantory;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

bool isStaging(const fs::path& path)
{
    return path.filename().string().starts_with(".vantory-extract-");
}

int entriesIn(const fs::path& folder)
{
    return fs::exists(folder) ? static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator())) : 0;
}

bool hasStaging(const fs::path& folder)
{
    return fs::exists(folder)
           && std::any_of(fs::directory_iterator(folder), fs::directory_iterator(),
                          [](const fs::directory_entry& entry) { return isStaging(entry.path()); });
}

bool stagingHasEntries(const fs::path& folder)
{
    if (!fs::exists(folder))
        return false;
    for (const auto& entry : fs::directory_iterator(folder))
        if (isStaging(entry.path()) && !fs::is_empty(entry.path()))
            return true;
    return false;
}

// A ZIP archive of `entries` small files, all in the folder "content".
fs::path writeLargeZip(const test::TempDir& dir, int entries)
{
    const auto content = dir / "content";
    fs::create_directories(content);
    for (int i = 0; i < entries; ++i)
        std::ofstream(content / ("entry" + std::to_string(i) + ".txt")) << i;
    ProcessOptions options;
    options.workingDirectory = dir.path().string();
    const auto archive = dir / "large.zip";
    EXPECT_TRUE(runProcess("/usr/bin/zip", {"-q", "-r", archive.string(), "content"}, options).succeeded());
    fs::remove_all(content);
    return archive;
}

int pngsIn(const fs::path& folder)
{
    int count = 0;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            count += entry.path().extension() == ".png" ? 1 : 0;
    return count;
}

} // namespace

TEST(Cancellation, CancelledExtractionPublishesNothingMoreAndLeavesNothingBehind)
{
    constexpr int entries = 6000;
    test::TempDir dir;
    const auto archive = writeLargeZip(dir, entries);
    const auto output = dir / "out";
    // The real unzip, telling its process id.
    const auto pidFile = dir / "unzip.pid";
    test::UnzipReplacement tools(test::executable(dir, "telling-unzip",
                                                  "echo $$ > '" + pidFile.string() + "'\nexec /usr/bin/unzip \"$@\""));
    QObject context;
    ConversionRouter router;
    std::optional<BatchResult> result;
    auto batch = router.convertBatch({{archive}, ActionIds::extractArchive, {}, {}, output}, &context, {},
                                     [&](BatchResult r) { result = r; });
    ASSERT_TRUE(test::spinUntil([&] { return stagingHasEntries(output); }));
    const auto tool = test::pidWrittenTo(pidFile); // the extracting run's, the last to start
    ASSERT_TRUE(tool);

    std::atomic<bool> cleanedUp = false;
    int published = 0;
    bool stagingLeft = false;
    bool toolRunningAtCleanup = false;
    batch->cancelThen([&] {
        // Called once the batch is over: a tool still running would go on writing.
        toolRunningAtCleanup = !test::processEnded(*tool);
        published = entriesIn(output / "content");
        stagingLeft = hasStaging(output);
        fs::remove_all(output);
        cleanedUp = true;
    });
    ASSERT_TRUE(test::spinUntil([&] { return result.has_value(); }));
    EXPECT_TRUE(cleanedUp);
    EXPECT_TRUE(result->cancelled);
    EXPECT_EQ(result->failures, 0);
    EXPECT_LT(published, entries); // the tool was stopped, not waited for
    EXPECT_FALSE(toolRunningAtCleanup);
    EXPECT_FALSE(stagingLeft);
    EXPECT_FALSE(fs::exists(output));
}

TEST(Cancellation, AnExtractionStoppedWhileItsToolRunsPublishesNothing)
{
    // With a password the tool runs under expect, on a terminal of its own.
    struct Case {
        const char* name;
        std::function<void(const fs::path& archive, const fs::path& output, std::stop_token)> extract;
    };
    const std::vector<Case> cases = {
        {"plain", [](const fs::path& archive, const fs::path& output,
                     std::stop_token stop) { ArchiveProcessor::extractArchive(archive, output, stop); }},
        {"with a password", [](const fs::path& archive, const fs::path& output, std::stop_token stop) {
             ArchiveProcessor::extractArchiveWithPassword(archive, "secret", output, stop);
         }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const auto archive = test::writeZip(dir / "a.zip");
        const auto pidFile = dir / "tool.pid";
        // Writes one entry into the destination (after "-d"), then takes its time.
        const auto slowUnzip = test::executable(dir, "slow-unzip",
                                                "while [ \"$1\" != -d ]; do shift; done\n"
                                                "echo x > \"$2/entry.txt\"\n"
                                                "echo $$ > '"
                                                    + pidFile.string() + "'\nexec sleep 30");
        test::UnzipReplacement tools(slowUnzip);
        const auto output = dir / "out";
        std::stop_source stop;
        auto extraction = std::async(std::launch::async, [&] { c.extract(archive, output, stop.get_token()); });
        const auto tool = test::pidWrittenTo(pidFile);
        ASSERT_TRUE(tool);
        stop.request_stop();
        ASSERT_EQ(extraction.wait_for(10s), std::future_status::ready);
        EXPECT_THROW(extraction.get(), ConversionCancelled);
        EXPECT_TRUE(test::spinUntil([&] { return test::processEnded(*tool); }, 2000));
        EXPECT_EQ(test::entryNamesIn(output), std::vector<std::string>{}); // neither the entry nor the staging folder
    }
}

TEST(Cancellation, CancelledRenderStopsBetweenPages)
{
    constexpr int pages = 150;
    test::TempDir dir;
    const auto document = dir / "long.pdf";
    test::writeTextPdf(document, std::vector<test::TextPage>(pages, test::TextPage{612, 792, "page"}));
    const auto output = dir / "out";
    fs::create_directories(output);

    std::stop_source stop;
    auto rendering = std::async(std::launch::async, [&] { PDFProcessor::pdfToImages(document, output, stop.get_token()); });
    ASSERT_TRUE(test::spinUntil([&] { return pngsIn(output) > 0; }));
    stop.request_stop();
    const int writtenAtStop = pngsIn(output);
    ASSERT_EQ(rendering.wait_for(30s), std::future_status::ready);
    EXPECT_THROW(rendering.get(), ConversionCancelled);
    EXPECT_LT(pngsIn(output), pages);
    EXPECT_LE(pngsIn(output), writtenAtStop + 1); // at most the page whose file was being moved into place

    // Stopped before it starts: no page at all.
    const auto untouched = dir / "untouched";
    fs::create_directories(untouched);
    EXPECT_THROW(PDFProcessor::pdfToImages(document, untouched, stop.get_token()), ConversionCancelled);
    EXPECT_EQ(pngsIn(untouched), 0);
}

TEST(Cancellation, DestroyingTheRouterEndsARunningTool)
{
    test::TempDir dir;
    const auto archive = test::writeZip(dir / "a.zip");
    const auto pidFile = dir / "sleeper.pid";
    test::UnzipReplacement tools(
        test::executable(dir, "sleeping-unzip", "sleep 30 & echo $! > '" + pidFile.string() + "'\nwait"));
    QObject context;
    auto router = std::make_unique<ConversionRouter>();
    router->convertBatch({{archive}, ActionIds::extractArchive, {}, {}, dir / "out"}, &context, {}, {});
    const auto sleeper = test::pidWrittenTo(pidFile);
    ASSERT_TRUE(sleeper);

    const auto started = std::chrono::steady_clock::now();
    router.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s); // the tool would take 30 s
    EXPECT_TRUE(test::spinUntil([&] { return test::processEnded(*sleeper); }, 2000));
}

TEST(Cancellation, StagingPublishesNothingOnceStopped)
{
    test::TempDir dir;
    const auto output = dir / "out";
    std::stop_source stop;
    {
        ExtractionStaging staging(output, stop.get_token());
        std::ofstream(staging.path() / "extracted.txt") << "x";
        fs::create_directories(staging.path() / "folder");
        std::ofstream(staging.path() / "folder" / "inner.txt") << "y";
        stop.request_stop();
        EXPECT_THROW(staging.publish(dir / "a.zip"), ConversionCancelled);
    }
    EXPECT_EQ(test::entryNamesIn(output), std::vector<std::string>{});
}

TEST(Cancellation, OperationsStoppedBeforehandWriteNothing)
{
    test::TempDir dir;
    const auto csv = dir.write("rows.csv", "a,b\n1,2\n3,4\n");
    const auto json = dir.write("records.json", R"([{"a": 1}, {"a": 2}])");
    const auto pdf = dir / "one.pdf";
    test::writeTextPdf(pdf, {test::TextPage{612, 792, "text"}});
    const auto image = dir / "red.png";
    test::solidImage(20, 20, {255, 0, 0}).write_to_file(image.c_str());
    const auto archive = test::writeZip(dir / "zipped" / "a.zip");

    struct Case {
        const char* name;
        std::function<void(const fs::path& output, std::stop_token)> run;
    };
    const std::vector<Case> cases = {
        {"csv to json", [&](const fs::path& out, std::stop_token stop) { DataFileProcessor::csvToJSON(csv, out, stop); }},
        {"json to csv", [&](const fs::path& out, std::stop_token stop) { DataFileProcessor::jsonToCSV(json, out, stop); }},
        {"merge pdfs",
         [&](const fs::path& out, std::stop_token stop) {
             PDFProcessor::mergePDFs({pdf, pdf}, out, stop);
         }},
        {"merge images",
         [&](const fs::path& out, std::stop_token stop) {
             PDFProcessor::mergeImagesToPDF({image, image}, out, stop);
         }},
        {"compress", [&](const fs::path& out, std::stop_token stop) { ArchiveProcessor::compressToZip({csv}, out, stop); }},
        {"extract", [&](const fs::path& out, std::stop_token stop) { ArchiveProcessor::extractArchive(archive, out, stop); }},
    };
    std::stop_source stop;
    stop.request_stop();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto output = dir / "out" / c.name;
        fs::create_directories(output);
        EXPECT_THROW(c.run(output, stop.get_token()), ConversionCancelled);
        EXPECT_EQ(test::entryNamesIn(output), std::vector<std::string>{});
    }
}
