#include "State/WidgetStateManager.h"
#include "State/DonationPolicy.h"
#include "support/FakeServices.h"
#include "support/ManualScheduler.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"
#include "support/TestSettings.h"

#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

class StateManagerTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ManualScheduler clock;
    test::TestSettings settings;
    test::FakeEnvironment environment;
    std::shared_ptr<test::FakeRouter> router = std::make_shared<test::FakeRouter>();
    std::vector<test::SentSignal> sentSignals;
    std::unique_ptr<WidgetStateManager> manager = std::make_unique<WidgetStateManager>(
        WidgetStateManager::Services{router, &clock, settings.settings.get(), &environment,
                                     [this](const std::string& name, const std::map<std::string, std::string>& parameters) {
                                         sentSignals.push_back({name, parameters});
                                     }});

    std::filesystem::path file(const std::string& name) { return dir.write(name, "content of " + name); }

    // A drop that has settled on the action card.
    void dropAndSettle(const std::vector<std::filesystem::path>& urls)
    {
        manager->handleDrop(urls);
        clock.advance(600ms);
        ASSERT_EQ(manager->state().kind, Kind::actions);
    }

    Kind phase() const { return manager->state().kind; }
};

} // namespace

TEST_F(StateManagerTest, DropShowsProcessingThenActions)
{
    manager->handleDrop({file("a.png"), file("b.png")});
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_EQ(manager->payload()->urls.size(), 2u);
    clock.advance(599ms);
    EXPECT_EQ(phase(), Kind::processing);
    clock.advance(1ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::actions); // supported files stay
}

TEST_F(StateManagerTest, EmptyDropChangesNothing)
{
    dropAndSettle({file("a.png")});
    const auto before = manager->payload();
    manager->handleDrop({});
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload(), before);
}

TEST_F(StateManagerTest, UnsupportedDropReturnsToIdle)
{
    dropAndSettle({file("notes.docx")});
    ASSERT_EQ(manager->suggestedActions().size(), 1u);
    clock.advance(1999ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(1ms);
    EXPECT_EQ(phase(), Kind::idle);
    EXPECT_FALSE(manager->payload());
}

TEST_F(StateManagerTest, UnsupportedResetSparesANewerDrop)
{
    dropAndSettle({file("notes.docx")});
    clock.advance(500ms);
    const auto image = file("photo.png");
    manager->handleDrop({image}); // the newer drop settles before the old timer fires
    clock.advance(600ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(5s);
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload()->urls.front(), image);
}

TEST_F(StateManagerTest, UnsupportedDropRightAfterAnotherStillResets)
{
    manager->handleDrop({file("photo.png")});
    clock.advance(300ms);
    manager->handleDrop({file("notes.docx")}); // the first drop's step shows this card
    clock.advance(300ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(2s);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(StateManagerTest, AppendingToAnUnsupportedCard)
{
    dropAndSettle({file("a.docx")});
    clock.advance(1s);
    manager->appendFiles({file("b.docx")}); // still nothing to offer: a fresh 2 s for the new card
    clock.advance(1500ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(500ms);
    EXPECT_EQ(phase(), Kind::idle);

    dropAndSettle({file("c.docx")});
    clock.advance(1s);
    manager->appendFiles({file("d.png"), file("e.png")}); // now there is something to do: the card stays
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload()->urls.size(), 3u);
}

TEST_F(StateManagerTest, LeavingActionsStopsTheUnsupportedReset)
{
    dropAndSettle({file("notes.docx")});
    manager->setState(WidgetPhase::hovering());
    clock.advance(3s);
    EXPECT_EQ(phase(), Kind::hovering);
    EXPECT_TRUE(manager->payload());
}

TEST_F(StateManagerTest, AppendSkipsDuplicatesWithNotices)
{
    const auto a = file("a.png"), b = file("b.png"), c = file("c.png"), d = file("d.png");
    dropAndSettle({a, b});

    struct Row {
        std::vector<std::filesystem::path> dropped;
        std::size_t payloadSize;
        std::optional<std::string> notice;
    };
    const auto redundant = a.parent_path() / "." / a.filename();
    const std::vector<Row> rows = {
        {{redundant, c, d}, 4, "1 duplicate skipped"},
        {{a, b, file("e.png")}, 5, "2 duplicates skipped"},
        {{file("f.png")}, 6, std::nullopt},
        {{a}, 6, "Already added"},
        {{a, b, c, d}, 6, "All 4 files already added"},
    };
    for (const auto& row : rows) {
        manager->appendFiles(row.dropped);
        EXPECT_EQ(manager->payload()->urls.size(), row.payloadSize);
        EXPECT_EQ(manager->actionAreaNotice(), row.notice);
        clock.advance(2s);
        EXPECT_EQ(manager->actionAreaNotice(), std::nullopt);
    }
    EXPECT_EQ(phase(), Kind::actions);
}

TEST_F(StateManagerTest, AppendWithoutPayloadIsADrop)
{
    manager->appendFiles({file("a.png")});
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_EQ(manager->activeTab(), std::nullopt);
}

TEST_F(StateManagerTest, InlineErrorClearsOnlyItsOwnText)
{
    manager->showInlineError("first");
    clock.advance(3s);
    manager->showInlineError("second");
    clock.advance(3s);
    EXPECT_EQ(manager->inlineError(), "second");
    clock.advance(3s);
    EXPECT_EQ(manager->inlineError(), std::nullopt);
}

TEST_F(StateManagerTest, ActiveTabSelectsTheGroup)
{
    dropAndSettle({file("a.png"), file("b.png"), file("c.json")});
    EXPECT_TRUE(manager->showTabs());
    EXPECT_EQ(manager->activeGroup()->category, FileCategory::image);
    manager->setActiveTab(FileCategory::data);
    EXPECT_EQ(manager->activeGroup()->category, FileCategory::data);
    manager->setActiveTab(FileCategory::video);
    EXPECT_FALSE(manager->activeGroup());
    EXPECT_TRUE(manager->suggestedActions().empty());
}

TEST_F(StateManagerTest, ResetClearsTheDrop)
{
    dropAndSettle({file("a.png")});
    manager->setActiveTab(FileCategory::image);
    manager->showInlineError("x");
    manager->reset();
    EXPECT_EQ(phase(), Kind::idle);
    EXPECT_FALSE(manager->payload());
    EXPECT_FALSE(manager->activeTab());
    EXPECT_FALSE(manager->inlineError());
}

TEST_F(StateManagerTest, CancelOutsideARunOnlyBumpsTheGeneration)
{
    for (auto phaseToTry : {WidgetPhase::idle(), WidgetPhase::hovering(), WidgetPhase::processing(), WidgetPhase::actions()}) {
        manager->setState(phaseToTry);
        manager->cancelConversion();
        EXPECT_EQ(manager->state(), phaseToTry);
    }
}

// MARK: runs

TEST_F(StateManagerTest, CompletedRunShowsTheRemainingFiles)
{
    const auto a = file("a.png"), b = file("b.png"), pdf = file("doc.pdf");
    dropAndSettle({a, b, pdf});
    manager->startConversion("convert_image", "webp");
    ASSERT_EQ(router->calls.size(), 1u);
    const auto& request = router->last().request;
    EXPECT_EQ(request.urls, (std::vector<std::filesystem::path>{a, b}));
    EXPECT_EQ(request.targetFormat, "webp");
    EXPECT_EQ(request.outputFolder.parent_path(), dir.path());
    EXPECT_TRUE(std::filesystem::is_directory(request.outputFolder));
    EXPECT_EQ(manager->state(), WidgetPhase::converting(0, 2));

    router->last().onProgress(1, 2);
    EXPECT_EQ(manager->state(), WidgetPhase::converting(1, 2));
    router->last().onFinished({2, 0, std::nullopt});
    EXPECT_EQ(manager->state(), WidgetPhase::completed(request.outputFolder.string()));
    EXPECT_EQ(environment.opened, std::vector{request.outputFolder});
    EXPECT_EQ(sentSignals,
              (std::vector<test::SentSignal>{{"conversion.completed", {{"actionId", "convert_image"}, {"fileCount", "2"}}}}));
    EXPECT_TRUE(environment.trashed.empty());

    clock.advance(1499ms);
    EXPECT_EQ(phase(), Kind::completed);
    clock.advance(1ms);
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});
    EXPECT_FALSE(manager->activeTab());
    EXPECT_TRUE(std::filesystem::is_directory(request.outputFolder));
}

TEST_F(StateManagerTest, CompletingTheOnlyGroupGoesIdle)
{
    dropAndSettle({file("a.json")});
    manager->startConversion("format_json");
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(StateManagerTest, PartialSuccessTexts)
{
    BatchResult withMessage{3, 1, "Could not open the file"};
    BatchResult withoutMessage{3, 1, std::nullopt};
    const std::vector<std::pair<BatchResult, std::string>> rows = {
        {withMessage, "3 Processed, 1 Skipped (Could not open the file)"},
        {withoutMessage, "3 processed, 1 skipped"},
    };
    for (const auto& [result, summary] : rows) {
        dropAndSettle({file("a.png"), file("b.png"), file("c.png"), file("d.png")});
        settings->setMoveOriginalToTrash(false);
        manager->startConversion("compress_image");
        settings->setMoveOriginalToTrash(true); // read when the result arrives
        environment.trashed.clear();
        router->last().onFinished(result);
        EXPECT_EQ(manager->state().kind, Kind::partialSuccess);
        EXPECT_EQ(manager->state().summary, summary);
        EXPECT_EQ(environment.trashed.size(), 4u); // the failed ones too
        clock.advance(3999ms);
        EXPECT_EQ(phase(), Kind::partialSuccess);
        clock.advance(1ms);
        EXPECT_EQ(phase(), Kind::idle);
    }
}

TEST_F(StateManagerTest, FullFailureRemovesOnlyTheRunsFolder)
{
    const auto input = file("a.json");
    dropAndSettle({input});
    manager->startConversion("format_json");
    const auto earlier = router->last().request.outputFolder;
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);

    dropAndSettle({input});
    manager->startConversion("format_json");
    const auto failed = router->last().request.outputFolder;
    EXPECT_NE(failed, earlier);
    router->last().onFinished({0, 1, "The file structure is not compatible with this conversion"});

    EXPECT_FALSE(std::filesystem::exists(failed));
    EXPECT_TRUE(std::filesystem::is_directory(earlier));
    EXPECT_TRUE(std::filesystem::exists(input));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->singleFileErrorActionId(), "format_json");
    EXPECT_EQ(manager->singleFileError(), "The file structure is not compatible with this conversion");
    EXPECT_EQ(sentSignals.size(), 1u); // only the first run's
    clock.advance(3500ms);
    EXPECT_FALSE(manager->singleFileError());
    EXPECT_FALSE(manager->singleFileErrorActionId());
}

TEST_F(StateManagerTest, FullFailureWithoutMessage)
{
    dropAndSettle({file("a.json")});
    manager->startConversion("format_json");
    router->last().onFinished({0, 2, std::nullopt});
    EXPECT_EQ(manager->singleFileError(), "Conversion failed");
}

TEST_F(StateManagerTest, FreeSpaceThreshold)
{
    struct Row {
        std::optional<std::uint64_t> free;
        bool starts;
    };
    for (const auto& row : std::vector<Row>{{499'999'999, false}, {500'000'000, true}, {std::nullopt, false}}) {
        dropAndSettle({file("a.json")});
        environment.free = row.free;
        const auto callsBefore = router->calls.size();
        manager->startConversion("format_json");
        EXPECT_EQ(router->calls.size() > callsBefore, row.starts);
        if (row.starts) {
            EXPECT_EQ(phase(), Kind::converting);
            manager->cancelConversion();
            router->last().runCleanups();
        } else {
            EXPECT_EQ(phase(), Kind::actions);
            EXPECT_EQ(manager->inlineError(), "Not enough disk space");
        }
        EXPECT_EQ(environment.freeSpaceAsked.back(), dir.path());
    }
    // No folder was left behind by the refused runs or the cancelled one.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.is_directory()) << entry.path();
}

TEST_F(StateManagerTest, MissingOutputFolderStartsNothing)
{
    // A base that cannot hold a new folder: a file stands where the base should be.
    dir.write("not-a-folder", "a file");
    dropAndSettle({dir.path() / "not-a-folder" / "x.json"});
    manager->startConversion("format_json");
    EXPECT_TRUE(router->calls.empty());
    EXPECT_EQ(manager->inlineError(), "Could not create the output folder");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "not-a-folder"));
}

TEST_F(StateManagerTest, CancelWhileConvertingRemovesTheFolder)
{
    dropAndSettle({file("a.png"), file("b.png")});
    manager->startConversion("compress_image");
    auto& call = router->last();
    const auto folder = call.request.outputFolder;
    manager->cancelConversion();
    EXPECT_TRUE(call.cancelled);
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload()->urls.size(), 2u);
    // The folder stays while the batch's operations may still write into it.
    EXPECT_TRUE(std::filesystem::exists(folder));
    call.runCleanups();
    EXPECT_FALSE(std::filesystem::exists(folder));

    call.onProgress(1, 2);
    call.onFinished({2, 0, std::nullopt}); // late: dropped
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_TRUE(environment.opened.empty());
    EXPECT_TRUE(sentSignals.empty());
}

TEST_F(StateManagerTest, CancelAfterCompletionStopsTheFollowUp)
{
    dropAndSettle({file("a.png")});
    manager->startConversion("compress_image");
    router->last().onFinished({1, 0, std::nullopt});
    manager->cancelConversion();
    EXPECT_EQ(phase(), Kind::completed);
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::completed);
}

TEST_F(StateManagerTest, StaleRunIsDropped)
{
    dropAndSettle({file("a.png")});
    manager->startConversion("compress_image");
    auto& first = router->last();
    manager->cancelConversion();
    manager->startConversion("compress_image");
    first.onFinished({0, 1, "old failure"});
    EXPECT_EQ(phase(), Kind::converting);
    EXPECT_FALSE(manager->singleFileError());
    EXPECT_TRUE(std::filesystem::is_directory(router->last().request.outputFolder));
}

TEST_F(StateManagerTest, ResetDuringARunDropsItsResult)
{
    dropAndSettle({file("a.png")});
    manager->startConversion("compress_image");
    auto& call = router->last();
    manager->reset();
    EXPECT_TRUE(call.cancelled);
    call.onFinished({1, 0, std::nullopt});
    EXPECT_EQ(phase(), Kind::idle);
    EXPECT_TRUE(environment.opened.empty());
}

TEST_F(StateManagerTest, LateProgressAfterResetIsIgnored)
{
    dropAndSettle({file("a.png"), file("b.png")});
    manager->startConversion("compress_image");
    auto& call = router->last();
    manager->reset();
    call.onProgress(1, 2);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(StateManagerTest, OldRunFollowUpKeepsTheNewDrop)
{
    const auto old = file("old.png");
    dropAndSettle({old});
    manager->startConversion("compress_image");
    const auto fresh = file("new.png"), freshToo = file("new2.json");
    manager->handleDrop({fresh, freshToo});
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    // The old run removes only its own inputs: the new drop is still all there.
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, (std::vector<std::filesystem::path>{fresh, freshToo}));
    EXPECT_EQ(phase(), Kind::actions);
}

TEST_F(StateManagerTest, DonationPromptAfterTheFifthCompletedRun)
{
    const auto a = file("a.png"), pdf = file("doc.pdf");
    for (int run = 1; run <= 5; ++run) {
        dropAndSettle({a, pdf});
        manager->startConversion("compress_image");
        router->last().onFinished({1, 0, std::nullopt});
        clock.advance(1500ms);
        EXPECT_EQ(manager->showDonation(), run == 5) << run;
    }
    EXPECT_EQ(sentSignals.back(), (test::SentSignal{"donation.shown", {}}));
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->payload()->urls.size(), 2u); // left as it was until the card is dismissed

    manager->setShowDonation(false);
    manager->completeAndShowRemaining();
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});
}

TEST_F(StateManagerTest, SummaryWithoutAModelShowsItsError)
{
    dropAndSettle({file("notes.txt")});
    manager->startConversion("summarize");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->singleFileErrorActionId(), "summarize");
    EXPECT_EQ(manager->singleFileError(), "AI Summarize requires a newer version of this system");
}

TEST(DonationPolicy, FifthThenEveryTwentieth)
{
    std::vector<int> prompted;
    for (int run = 1; run <= 70; ++run)
        if (DonationPolicy::wantsPrompt(run))
            prompted.push_back(run);
    EXPECT_EQ(prompted, (std::vector<int>{5, 25, 45, 65}));
}

TEST_F(StateManagerTest, FailedRunsNeverRemoveTheBaseFolder)
{
    // Each setup makes the natural folder name unusable; the run must still write into
    // a folder of its own, and its failure must remove only that folder.
    struct Setup {
        std::string name;
        std::string input;
        std::function<void(const std::filesystem::path& base)> prepare;
    };
    const std::vector<Setup> setups = {
        {"earlier run's folder", "a.json", [](const auto& base) { std::filesystem::create_directory(base / "formatted_a"); }},
        {"a file in the way", "b.json", [](const auto& base) { std::ofstream(base / "formatted_b") << "x"; }},
        {"name too long", std::string(248, 'n') + ".json", [](const auto&) {}},
    };
    for (const auto& setup : setups) {
        const auto input = file(setup.input);
        setup.prepare(dir.path());
        dropAndSettle({input});
        manager->startConversion("format_json");
        ASSERT_FALSE(router->calls.empty()) << setup.name;
        const auto folder = router->last().request.outputFolder;
        EXPECT_NE(folder, dir.path()) << setup.name;
        EXPECT_EQ(folder.parent_path(), dir.path()) << setup.name;
        router->last().onFinished({0, 1, "failed"});
        EXPECT_FALSE(std::filesystem::exists(folder)) << setup.name;
        EXPECT_TRUE(std::filesystem::exists(input)) << setup.name;
        EXPECT_TRUE(std::filesystem::is_directory(dir.path())) << setup.name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "formatted_a"));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "formatted_b"));
}

TEST_F(StateManagerTest, PdfPasswordCheckRunsOnAnotherThread)
{
    const auto locked = dir / "locked.pdf";
    test::writePdf(locked, test::PdfPasswords{"user-pw", "owner-pw"});
    dropAndSettle({locked});
    ASSERT_TRUE(manager->payload()->isEncryptedPDF);

    std::map<std::string, bool> verdicts;
    std::thread checker([&] {
        for (const char* password : {"user-pw", "owner-pw", "wrong", ""})
            verdicts[password] = manager->validatePDFPassword(password);
    });
    manager->reset(); // the live payload may change meanwhile; the check reads its own snapshot
    checker.join();
    EXPECT_EQ(verdicts.size(), 4u);
    EXPECT_FALSE(verdicts["wrong"]);
    EXPECT_FALSE(verdicts[""]);

    dropAndSettle({locked});
    EXPECT_TRUE(manager->validatePDFPassword("user-pw"));
    EXPECT_TRUE(manager->validatePDFPassword("owner-pw"));
    EXPECT_FALSE(manager->validatePDFPassword("wrong"));
    const auto open = test::writePdf(dir / "open.pdf");
    dropAndSettle({open});
    EXPECT_TRUE(manager->validatePDFPassword("anything"));
}
