#include "Converters/ConversionError.h"
#include "Converters/ConversionRouter.h"
#include "Converters/OutputNaming.h"
#include "State/WidgetStateManager.h"
#include "support/EventLoop.h"
#include "support/FakeServices.h"
#include "support/ManualScheduler.h"
#include "support/OutputFolder.h"
#include "support/ScriptedLanguageModel.h"
#include "support/TempDir.h"
#include "support/TestSettings.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

// Writes an upper-cased copy of each input: a stand-in for a real processor.
DispatchTable upperCasingTable()
{
    DispatchTable table;
    table.fileOperations["format_json"] = {
        Lane::serial, [](const FileJob& job) {
            std::string text = test::readFile(job.url);
            if (text.empty())
                throw ConversionError::loadFailed(job.url);
            for (auto& c : text)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            std::ofstream(OutputNaming::uniqueURL(job.outputFolder, OutputNaming::stem(job.url) + "_formatted", "json")) << text;
        }};
    return table;
}

// The real state manager over the real router; only time and the desktop are stand-ins.
class ConversionRun : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ManualScheduler clock;
    test::TestSettings settings;
    test::FakeEnvironment environment;
    WidgetStateManager manager{{std::make_shared<ConversionRouter>(upperCasingTable()),
                                &clock,
                                settings.settings.get(),
                                &environment,
                                [](auto&, auto&) {},
                                DropPayload::from,
                                std::make_shared<test::ScriptedLanguageModel>()}};
};

} // namespace

TEST_F(ConversionRun, FromADropToFilesOnDiskAndBackToTheRest)
{
    const auto a = dir.write("a.json", "{\"a\": 1}");
    const auto b = dir.write("b.json", "{\"b\": 2}");
    const auto image = dir.write("photo.png", "not really");
    manager.handleDrop({a, b, image});
    clock.advance(600ms);
    ASSERT_TRUE(test::spinUntil([&] { return manager.state().kind == Kind::actions; }));
    ASSERT_EQ(manager.activeGroup()->category, FileCategory::data);

    manager.startConversion("format_json");
    ASSERT_TRUE(test::spinUntil([&] { return manager.state().kind == Kind::completed; }));
    const std::filesystem::path folder = manager.state().outputPath;
    const auto written = test::entriesIn(folder);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(test::readFile(written[0]), "{\"A\": 1}");
    EXPECT_EQ(test::readFile(written[1]), "{\"B\": 2}");
    EXPECT_EQ(test::readFile(a), "{\"a\": 1}"); // the originals are untouched

    clock.advance(1500ms);
    ASSERT_TRUE(test::spinUntil([&] { return manager.state().kind == Kind::actions; }));
    ASSERT_TRUE(manager.payload());
    EXPECT_EQ(manager.payload()->urls, std::vector{image});
}

TEST_F(ConversionRun, AllFilesFailingLeavesNoFolder)
{
    const auto empty = dir.write("empty.json", "");
    manager.handleDrop({empty});
    clock.advance(600ms);
    ASSERT_TRUE(test::spinUntil([&] { return manager.state().kind == Kind::actions; }));
    manager.startConversion("format_json");
    ASSERT_TRUE(test::spinUntil([&] { return manager.singleFileError().has_value(); }));
    EXPECT_EQ(manager.singleFileError(), "Could not open the file");
    test::finishBackgroundWork(); // the folder goes off the UI thread
    EXPECT_EQ(test::entriesIn(dir.path()), std::vector{empty});
}

TEST_F(ConversionRun, ThroughTheRealProcessors)
{
    WidgetStateManager real(
        {std::make_shared<ConversionRouter>(), &clock, settings.settings.get(), &environment, [](auto&, auto&) {}, DropPayload::from,
         std::make_shared<test::ScriptedLanguageModel>()});
    const auto json = dir.write("data.json", R"({"b":1,"a":[true,null]})");
    real.handleDrop({json});
    clock.advance(600ms);
    ASSERT_TRUE(test::spinUntil([&] { return real.state().kind == Kind::actions; }));
    real.startConversion("format_json");
    ASSERT_TRUE(test::spinUntil([&] { return real.state().kind == Kind::completed; }));
    const auto written = test::entriesIn(real.state().outputPath);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(written[0].filename().string().starts_with("data_formatted_"));
    EXPECT_EQ(test::readFile(written[0]), "{\n  \"a\": [\n    true,\n    null\n  ],\n  \"b\": 1\n}");
    clock.advance(1500ms);
    EXPECT_EQ(real.state().kind, Kind::idle);
}
