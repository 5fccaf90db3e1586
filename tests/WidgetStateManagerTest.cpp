#include "State/WidgetStateManager.h"
#include "State/DonationPolicy.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <QThreadPool>
#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

class StateManagerTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    // The build of a payload of exactly these files waits at the gate.
    std::map<std::vector<std::filesystem::path>, test::Gate*> heldBuilds;
    std::atomic<int> finishedBuilds = 0;
    std::atomic<bool> builtOnTheTestThread = false;
    const std::thread::id testThread = std::this_thread::get_id();

    StateManagerTest()
    {
        buildPayload = [this](const std::vector<std::filesystem::path>& paths) { return build(paths); };
    }

    ~StateManagerTest() override
    {
        // Workers may still build payloads with the members above.
        manager.reset();
        test::finishBackgroundWork();
    }

    std::filesystem::path file(const std::string& name) { return dir.write(name, "content of " + name); }

    // Lets the payload builds, folder preparations and clean-ups in flight finish and land.
    void settle() { test::finishBackgroundWork(); }

    // A drop that has settled on the action card.
    void dropAndSettle(const std::vector<std::filesystem::path>& urls)
    {
        manager->handleDrop(urls);
        clock.advance(600ms);
        settle();
        ASSERT_EQ(manager->state().kind, Kind::actions);
    }

    // A run whose folder is ready and whose batch has gone to the router.
    void start(const std::string& actionId, const std::optional<std::string>& targetFormat = std::nullopt)
    {
        manager->startConversion(actionId, targetFormat);
        settle();
    }

    Kind phase() const { return manager->state().kind; }

private:
    DropPayload build(const std::vector<std::filesystem::path>& paths)
    {
        if (std::this_thread::get_id() == testThread)
            builtOnTheTestThread = true;
        if (const auto held = heldBuilds.find(paths); held != heldBuilds.end())
            held->second->wait();
        auto payload = DropPayload::from(paths);
        ++finishedBuilds;
        return payload;
    }
};

} // namespace

TEST_F(StateManagerTest, DropShowsProcessingThenActions)
{
    manager->handleDrop({file("a.png"), file("b.png")});
    EXPECT_EQ(phase(), Kind::processing);
    settle(); // the payload is ready early; the phase still lasts its 0.6 s
    EXPECT_EQ(phase(), Kind::processing);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls.size(), 2u);
    clock.advance(599ms);
    EXPECT_EQ(phase(), Kind::processing);
    clock.advance(1ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::actions); // supported files stay
}

TEST_F(StateManagerTest, EveryLaterDropShowsProcessingForItsOwnSixTenths)
{
    struct Case {
        const char* name;
        std::function<void()> afterTheFirstDrop;
    };
    const std::vector<Case> cases = {
        {"from the action card", [] {}},
        {"after a reset", [this] { manager->reset(); }},
        {"after a completed run", [this] {
             start("compress_image");
             router->last().onFinished({1, 0, std::nullopt});
             settle();
             ASSERT_EQ(phase(), Kind::completed);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dropAndSettle({file("first.png")});
        c.afterTheFirstDrop();
        const auto second = file("second.png");
        manager->handleDrop({second});
        settle(); // the payload is ready at once
        EXPECT_EQ(phase(), Kind::processing);
        clock.advance(599ms);
        EXPECT_EQ(phase(), Kind::processing);
        clock.advance(1ms);
        EXPECT_EQ(phase(), Kind::actions);
        ASSERT_TRUE(manager->payload());
        EXPECT_EQ(manager->payload()->urls, std::vector{second});
        manager->reset();
        clock.advance(10s);
    }
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
    settle();
    clock.advance(600ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(5s);
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls.front(), image);
}

TEST_F(StateManagerTest, UnsupportedDropRightAfterAnotherStillResets)
{
    manager->handleDrop({file("photo.png")});
    clock.advance(300ms);
    manager->handleDrop({file("notes.docx")}); // the first drop's step shows this card
    settle();
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
    settle();
    clock.advance(1500ms);
    EXPECT_EQ(phase(), Kind::actions);
    clock.advance(500ms);
    EXPECT_EQ(phase(), Kind::idle);

    dropAndSettle({file("c.docx")});
    clock.advance(1s);
    manager->appendFiles({file("d.png"), file("e.png")}); // now there is something to do: the card stays
    settle();
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
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
        {{a, a}, 6, "All 2 files already added"},
        {{file("g.png"), dir / "g.png"}, 7, "1 duplicate skipped"}, // twice within one append
    };
    for (const auto& row : rows) {
        manager->appendFiles(row.dropped);
        settle();
        ASSERT_TRUE(manager->payload());
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
    ASSERT_TRUE(manager->activeGroup());
    EXPECT_EQ(manager->activeGroup()->category, FileCategory::image);
    manager->setActiveTab(FileCategory::data);
    ASSERT_TRUE(manager->activeGroup());
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
    start("convert_image", "webp");
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
    EXPECT_TRUE(environment.trashed().empty());

    clock.advance(1499ms);
    EXPECT_EQ(phase(), Kind::completed);
    clock.advance(1ms);
    settle();
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});
    EXPECT_FALSE(manager->activeTab());
    EXPECT_TRUE(std::filesystem::is_directory(request.outputFolder));
}

TEST_F(StateManagerTest, CompletingTheOnlyGroupGoesIdle)
{
    dropAndSettle({file("a.json")});
    start("format_json");
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
        start("compress_image");
        settings->setMoveOriginalToTrash(true); // read when the result arrives
        environment.forgetTrashed();
        router->last().onFinished(result);
        EXPECT_EQ(manager->state().kind, Kind::partialSuccess);
        EXPECT_EQ(manager->state().summary, summary);
        settle();
        EXPECT_EQ(environment.trashed().size(), 4u); // the failed ones too
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
    start("format_json");
    const auto earlier = router->last().request.outputFolder;
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);

    dropAndSettle({input});
    start("format_json");
    const auto failed = router->last().request.outputFolder;
    EXPECT_NE(failed, earlier);
    router->last().onFinished({0, 1, "The file structure is not compatible with this conversion"});
    settle();

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
    start("format_json");
    router->last().onFinished({0, 2, std::nullopt});
    EXPECT_EQ(manager->singleFileError(), "Conversion failed");
}

TEST_F(StateManagerTest, ARowErrorAndItsRowAreAnnouncedTogetherOnce)
{
    dropAndSettle({file("a.json")});
    start("format_json");
    std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> announced;
    QObject::connect(manager.get(), &WidgetStateManager::singleFileErrorChanged, [&] {
        announced.emplace_back(manager->singleFileErrorActionId(), manager->singleFileError());
    });
    router->last().onFinished({0, 1, "Broken"});
    clock.advance(3500ms);
    EXPECT_EQ(announced, (decltype(announced){{"format_json", "Broken"}, {std::nullopt, std::nullopt}}));
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
        start("format_json");
        EXPECT_EQ(router->calls.size() > callsBefore, row.starts);
        if (row.starts) {
            EXPECT_EQ(phase(), Kind::converting);
            manager->cancelConversion();
            router->last().runCleanups();
            settle();
        } else {
            EXPECT_EQ(phase(), Kind::actions);
            EXPECT_EQ(manager->inlineError(), "Not enough disk space");
        }
        EXPECT_EQ(environment.freeSpaceAsked().back(), dir.path());
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
    start("format_json");
    EXPECT_TRUE(router->calls.empty());
    EXPECT_EQ(manager->inlineError(), "Could not create the output folder");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "not-a-folder"));
}

TEST_F(StateManagerTest, CancelWhileConvertingRemovesTheFolder)
{
    dropAndSettle({file("a.png"), file("b.png")});
    start("compress_image");
    auto& call = router->last();
    const auto folder = call.request.outputFolder;
    manager->cancelConversion();
    EXPECT_TRUE(call.cancelled);
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
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
    start("compress_image");
    router->last().onFinished({1, 0, std::nullopt});
    manager->cancelConversion();
    EXPECT_EQ(phase(), Kind::completed);
    clock.advance(10s);
    EXPECT_EQ(phase(), Kind::completed);
}

TEST_F(StateManagerTest, StaleRunIsDropped)
{
    dropAndSettle({file("a.png")});
    start("compress_image");
    auto& first = router->last();
    manager->cancelConversion();
    start("compress_image");
    first.onFinished({0, 1, "old failure"});
    EXPECT_EQ(phase(), Kind::converting);
    EXPECT_FALSE(manager->singleFileError());
    EXPECT_TRUE(std::filesystem::is_directory(router->last().request.outputFolder));
}

TEST_F(StateManagerTest, ResetDuringARunDropsItsResult)
{
    dropAndSettle({file("a.png")});
    start("compress_image");
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
    start("compress_image");
    auto& call = router->last();
    manager->reset();
    call.onProgress(1, 2);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(StateManagerTest, OldRunFollowUpKeepsTheNewDrop)
{
    const auto old = file("old.png");
    dropAndSettle({old});
    start("compress_image");
    const auto fresh = file("new.png"), freshToo = file("new2.json");
    manager->handleDrop({fresh, freshToo});
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    settle();
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
        start("compress_image");
        router->last().onFinished({1, 0, std::nullopt});
        clock.advance(1500ms);
        EXPECT_EQ(manager->showDonation(), run == 5) << run;
    }
    EXPECT_EQ(sentSignals.back(), (test::SentSignal{"donation.shown", {}}));
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls.size(), 2u); // left as it was until the card is dismissed

    manager->dismissDonation();
    EXPECT_FALSE(manager->showDonation());
    settle();
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});
}

TEST_F(StateManagerTest, SummaryWithoutAModelShowsItsError)
{
    model->available = false;
    dropAndSettle({file("notes.txt")});
    start("summarize");
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
        start("format_json");
        ASSERT_FALSE(router->calls.empty()) << setup.name;
        const auto folder = router->last().request.outputFolder;
        EXPECT_NE(folder, dir.path()) << setup.name;
        EXPECT_EQ(folder.parent_path(), dir.path()) << setup.name;
        router->last().onFinished({0, 1, "failed"});
        settle();
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

// MARK: slow work off the UI thread

TEST_F(StateManagerTest, ActionsWaitForTheProbesAndTheProcessingTime)
{
    test::Gate probes;
    const std::vector<std::filesystem::path> drop{file("a.png"), file("b.zip")};
    heldBuilds[drop] = &probes;
    manager->handleDrop(drop);
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_FALSE(manager->payload());

    clock.advance(600ms);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_EQ(finishedBuilds, 0);

    probes.open();
    ASSERT_TRUE(test::spinUntil([&] { return phase() == Kind::actions; }));
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, drop);
    EXPECT_FALSE(builtOnTheTestThread);
}

TEST_F(StateManagerTest, ANewerDropWinsOverTheLateResultOfAnOlderOne)
{
    for (const bool olderLandsFirst : {false, true}) {
        SCOPED_TRACE(olderLandsFirst);
        test::Gate older, newer;
        const std::vector<std::filesystem::path> old{file("old.png")}, fresh{file("new.json")};
        heldBuilds = {{old, &older}, {fresh, &newer}};
        finishedBuilds = 0;
        manager->handleDrop(old);
        manager->handleDrop(fresh);
        clock.advance(600ms);
        if (olderLandsFirst) {
            older.open();
            ASSERT_TRUE(
                test::spinUntil([&] { return finishedBuilds == 1 && QThreadPool::globalInstance()->activeThreadCount() == 1; }));
            QCoreApplication::sendPostedEvents();
            EXPECT_EQ(phase(), Kind::processing);
            EXPECT_FALSE(manager->payload());
        }
        newer.open();
        ASSERT_TRUE(test::spinUntil([&] { return phase() == Kind::actions; }));
        const auto serial = manager->payloadSerial();
        older.open();
        settle();
        EXPECT_EQ(finishedBuilds, 2);
        ASSERT_TRUE(manager->payload());
        EXPECT_EQ(manager->payload()->urls, fresh);
        EXPECT_EQ(manager->payloadSerial(), serial);
        EXPECT_EQ(phase(), Kind::actions);
        manager->reset();
    }
}

TEST_F(StateManagerTest, AnAppendWhileADropIsBuiltJoinsIt)
{
    test::Gate probes;
    const auto a = file("a.png"), b = file("b.png");
    heldBuilds[{a}] = &probes;
    manager->handleDrop({a});
    manager->appendFiles({a});
    EXPECT_EQ(manager->actionAreaNotice(), "Already added");
    manager->appendFiles({b});
    clock.advance(600ms);
    ASSERT_TRUE(test::spinUntil([&] { return phase() == Kind::actions; }));
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, (std::vector{a, b}));
    probes.open();
    settle();
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, (std::vector{a, b}));
}

TEST_F(StateManagerTest, PayloadSerialTellsALateAnswerFromACurrentOne)
{
    const auto a = file("a.png");
    dropAndSettle({a});
    struct Row {
        const char* name;
        std::function<void()> step;
        bool changes;
    };
    const std::vector<Row> rows = {
        {"another tab", [&] { manager->setActiveTab(FileCategory::image); }, false},
        {"an append of known files", [&] { manager->appendFiles({a}); }, false},
        {"an append asked for", [&] { manager->appendFiles({file("b.png")}); }, true},
        {"the append landing", [&] { settle(); }, true},
        {"a new drop", [&] { manager->handleDrop({a}); }, true},
        {"a reset", [&] { manager->reset(); }, true},
    };
    for (const auto& row : rows) {
        const auto serial = manager->payloadSerial();
        row.step();
        EXPECT_EQ(manager->payloadSerial() != serial, row.changes) << row.name;
    }
}

TEST_F(StateManagerTest, QuittingDoesNotWaitForAPayloadBuild)
{
    test::Gate probes;
    const std::vector<std::filesystem::path> drop{file("a.zip")};
    heldBuilds[drop] = &probes;
    manager->handleDrop(drop);
    ASSERT_TRUE(test::spinUntil([&] { return probes.arrivals() == 1; }));
    manager.reset();
    EXPECT_EQ(finishedBuilds, 0); // gone while the build was still held
    probes.open();
    settle(); // the late result finds no manager and is dropped
    EXPECT_EQ(finishedBuilds, 1);
}

TEST_F(StateManagerTest, TheOutputFolderIsMadeOffTheUIThread)
{
    test::Gate freeSpace;
    environment.holdFreeSpace = &freeSpace;
    dropAndSettle({file("a.json")});
    manager->startConversion("format_json");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_TRUE(router->calls.empty());
    freeSpace.open();
    settle();
    ASSERT_EQ(router->calls.size(), 1u);
    EXPECT_EQ(phase(), Kind::converting);
    EXPECT_TRUE(std::filesystem::is_directory(router->last().request.outputFolder));
    EXPECT_FALSE(environment.calledOn(testThread));
}

TEST_F(StateManagerTest, ACancelOrResetWhileTheFolderIsMadeStartsNothing)
{
    struct Row {
        const char* name;
        std::function<void()> interrupt;
        Kind phaseAfter;
    };
    const std::vector<Row> rows = {
        {"cancel", [&] { manager->cancelConversion(); }, Kind::actions},
        {"reset", [&] { manager->reset(); }, Kind::idle},
    };
    for (const auto& row : rows) {
        test::Gate freeSpace;
        environment.holdFreeSpace = &freeSpace;
        dropAndSettle({file("a.json")});
        const auto askedBefore = environment.freeSpaceAsked().size();
        manager->startConversion("format_json");
        row.interrupt();
        freeSpace.open();
        settle();
        EXPECT_TRUE(router->calls.empty()) << row.name;
        EXPECT_EQ(phase(), row.phaseAfter) << row.name;
        EXPECT_FALSE(manager->inlineError()) << row.name;
        EXPECT_EQ(environment.freeSpaceAsked().size(), askedBefore + 1) << row.name;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_FALSE(entry.is_directory()) << row.name << ": " << entry.path();
        environment.holdFreeSpace = nullptr;
    }
}

TEST_F(StateManagerTest, OriginalsGoToTheTrashOffTheUIThread)
{
    test::Gate trash;
    environment.holdTrash = &trash;
    settings->setMoveOriginalToTrash(true);
    const auto a = file("a.png"), b = file("b.png");
    dropAndSettle({a, b});
    start("compress_image");
    router->last().onFinished({2, 0, std::nullopt});
    EXPECT_EQ(phase(), Kind::completed);
    EXPECT_TRUE(environment.trashed().empty());
    trash.open();
    settle();
    EXPECT_EQ(environment.trashed(), (std::vector{a, b}));
    EXPECT_FALSE(environment.calledOn(testThread));
}

TEST_F(StateManagerTest, AResetForgetsTheDonationPromptOfItsRun)
{
    settings->setCompletedRunCount(4);
    const auto a = file("a.png"), pdf = file("doc.pdf");
    dropAndSettle({a, pdf});
    start("compress_image");
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    ASSERT_TRUE(manager->showDonation());
    manager->reset();
    EXPECT_FALSE(manager->showDonation());

    // The next card's done step finishes what that card shows, not the reset run's files.
    const auto fresh = file("fresh.png");
    dropAndSettle({fresh, pdf});
    manager->completeAndShowRemaining();
    settle();
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});
}

TEST_F(StateManagerTest, ANewDropForgetsTheLastDropsErrorsAndDonationCard)
{
    settings->setCompletedRunCount(4);
    const auto json = file("a.json");
    const auto pdf = file("doc.pdf");
    dropAndSettle({json, pdf});
    start("format_json");
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    ASSERT_TRUE(manager->showDonation());
    manager->showInlineError("Not enough disk space");

    const auto fresh = file("fresh.png");
    manager->handleDrop({fresh, pdf});
    EXPECT_FALSE(manager->showDonation());
    EXPECT_FALSE(manager->inlineError());
    clock.advance(600ms);
    settle();
    // The next card's done step finishes what that card shows, not the old run's files.
    manager->completeAndShowRemaining();
    settle();
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, std::vector{pdf});

    dropAndSettle({json});
    start("format_json");
    router->last().onFinished({0, 1, "Conversion failed"});
    ASSERT_TRUE(manager->singleFileError());
    manager->handleDrop({file("c.png")});
    EXPECT_FALSE(manager->singleFileError());
    EXPECT_FALSE(manager->singleFileErrorActionId());
}

// MARK: summaries

namespace {

class SummaryTest : public StateManagerTest {
protected:
    // A summary of a dropped text file whose text has reached the model.
    test::ScriptedLanguageModel::Session& summarise(const std::string& name = "notes.txt",
                                                    const std::string& text = "Some text to summarise.")
    {
        dropAndSettle({dir.write(name, text)});
        start("summarize");
        EXPECT_EQ(phase(), Kind::summarizing);
        return model->last();
    }
};

} // namespace

TEST_F(SummaryTest, SnapshotsReplaceTheStreamingText)
{
    auto& session = summarise("notes.txt", "The whole document.");
    EXPECT_EQ(session.prompt, "The whole document.");
    EXPECT_EQ(manager->streamingText(), "");
    session.snapshot("A");
    EXPECT_EQ(manager->streamingText(), "A");
    session.snapshot("AB");
    session.snapshot("ABC");
    EXPECT_EQ(manager->streamingText(), "ABC");
    session.end();
    EXPECT_EQ(phase(), Kind::summarizing); // the card closes it
    EXPECT_EQ(manager->summaryNote(), std::nullopt);
    EXPECT_EQ(manager->singleFileError(), std::nullopt);
}

// A model that ends its answer without a word in it (a document of symbols only) leaves
// nothing to show: the row says so instead of the card waiting for good.
TEST_F(SummaryTest, AnAnswerWithoutAWordEndsWithTheNoTextMessage)
{
    const std::vector<std::vector<std::string>> answers = {{}, {" "}, {"---", "--- *** ###"}, {"**\u2022**\n\n"}};
    for (const auto& snapshots : answers) {
        SCOPED_TRACE(snapshots.empty() ? "no snapshot" : snapshots.back());
        auto& session = summarise("symbols.txt", "--- *** ### a");
        for (const auto& snapshot : snapshots)
            session.snapshot(snapshot);
        session.end();
        EXPECT_EQ(phase(), Kind::actions);
        EXPECT_EQ(manager->singleFileErrorActionId(), "summarize");
        EXPECT_EQ(manager->singleFileError(), "No text content to summarize");
    }
}

TEST_F(SummaryTest, AnErrorBeforeAnyTextShowsOnTheRow)
{
    auto& session = summarise();
    session.end("The model is busy");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->singleFileErrorActionId(), "summarize");
    EXPECT_EQ(manager->singleFileError(), "The model is busy");
}

TEST_F(SummaryTest, AnErrorAfterSomeTextKeepsItAndSaysItIsIncomplete)
{
    auto& session = summarise();
    session.snapshot("A");
    session.snapshot("AB");
    session.end("The model is busy");
    EXPECT_EQ(phase(), Kind::summarizing);
    EXPECT_EQ(manager->streamingText(), "AB");
    EXPECT_EQ(manager->summaryNote(), "Summary incomplete");
    EXPECT_EQ(manager->singleFileError(), std::nullopt);
}

TEST_F(SummaryTest, ACutTextFailingLaterKeepsBothNotes)
{
    auto& session = summarise("long.txt", std::string(14'001, 'x'));
    EXPECT_EQ(session.prompt, std::string(14'000, 'x'));
    EXPECT_EQ(manager->summaryNote(), "Summarizing first ~3,500 words");
    session.snapshot("A");
    session.end("stopped");
    EXPECT_EQ(manager->summaryNote(), "Summarizing first ~3,500 words · Summary incomplete");
}

TEST_F(SummaryTest, CancellingDropsLaterSnapshots)
{
    auto& session = summarise();
    session.snapshot("A");
    manager->cancelConversion();
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->streamingText(), "");
    session.snapshot("AB");
    session.end("late error");
    EXPECT_EQ(manager->streamingText(), "");
    EXPECT_EQ(manager->singleFileError(), std::nullopt);
}

TEST_F(SummaryTest, AfterADropTheOldSummaryChangesNothing)
{
    auto& session = summarise();
    session.snapshot("A");
    manager->handleDrop({file("photo.png")});
    session.snapshot("AB"); // while the drop is processed
    EXPECT_EQ(manager->streamingText(), "A");
    clock.advance(600ms);
    settle();
    start("compress_image"); // a later run
    ASSERT_EQ(phase(), Kind::converting);
    session.snapshot("ABC");
    session.end("late error");
    EXPECT_EQ(phase(), Kind::converting);
    EXPECT_EQ(manager->streamingText(), "A");
    EXPECT_EQ(manager->singleFileError(), std::nullopt);
}

TEST_F(SummaryTest, ALateErrorDoesNotEndTheDropThatFollowed)
{
    auto& session = summarise();
    manager->handleDrop({file("photo.png")});
    session.end("late error");
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_EQ(manager->singleFileError(), std::nullopt);
}

TEST_F(SummaryTest, ANewSummaryReplacesTheOldOne)
{
    auto& first = summarise();
    first.snapshot("old");
    start("summarize");
    auto& second = model->last();
    ASSERT_NE(&first, &second);
    EXPECT_EQ(manager->streamingText(), "");
    first.snapshot("old, longer");
    first.end("old error");
    EXPECT_EQ(phase(), Kind::summarizing);
    EXPECT_EQ(manager->streamingText(), "");
    second.snapshot("new");
    EXPECT_EQ(manager->streamingText(), "new");
}

TEST_F(SummaryTest, ResetWhileTheTextIsReadStartsNothing)
{
    dropAndSettle({file("notes.txt")});
    manager->startConversion("summarize");
    manager->reset();
    settle();
    EXPECT_TRUE(model->sessions.empty());
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(SummaryTest, TextWithoutContentAndUnopenablePdfs)
{
    dropAndSettle({dir.write("latin1.txt", "caf\xe9")});
    start("summarize");
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_EQ(manager->singleFileError(), "No text content to summarize");

    dropAndSettle({dir.write("broken.pdf", "not a pdf")});
    start("summarize");
    EXPECT_EQ(manager->singleFileError(), "Could not open the file");
    EXPECT_TRUE(model->sessions.empty());
}

TEST_F(SummaryTest, TheTextIsReadOffTheUIThread)
{
    const auto notes = file("notes.txt");
    dropAndSettle({notes});
    // A pipe in place of the file: reading it waits until the test writes.
    std::filesystem::remove(notes);
    ASSERT_EQ(::mkfifo(notes.c_str(), 0600), 0);
    manager->startConversion("summarize"); // returns while the reader waits
    EXPECT_EQ(phase(), Kind::summarizing);
    {
        std::ofstream writer(notes);
        writer << "Text that came late.";
    }
    settle();
    ASSERT_EQ(model->sessions.size(), 1u);
    EXPECT_EQ(model->last().prompt, "Text that came late.");
}

TEST_F(SummaryTest, APdfsTextIsSummarised)
{
    const auto pdf = dir / "report.pdf";
    test::writeTextPdf(pdf, {{612, 792, "Quarterly results were strong"}});
    dropAndSettle({pdf});
    start("summarize");
    ASSERT_EQ(model->sessions.size(), 1u);
    EXPECT_NE(model->last().prompt.find("Quarterly results were strong"), std::string::npos);
}
