#include "Platform/ProcessRunner.h"
#include "State/WidgetStateManager.h"
#include "Views/DropTargetView.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/TempDir.h"
#include "support/TestSettings.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

std::unique_ptr<QMimeData> filesData(const std::vector<std::filesystem::path>& files)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const auto& file : files)
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    data->setUrls(urls);
    return data;
}

std::unique_ptr<QMimeData> textData(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

class DropTargetTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    DropTargetView view{manager.get(), clock};

    ~DropTargetTest() override
    {
        manager.reset();
        test::finishBackgroundWork();
    }

    std::filesystem::path file(const std::string& name) { return dir.write(name, "content of " + name); }
    Kind phase() const { return manager->state().kind; }

    // Returns the action offered.
    Qt::DropAction enter(const QMimeData& data)
    {
        QDragEnterEvent event(QPoint(230, 230), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }

    void leave()
    {
        QDragLeaveEvent event;
        QCoreApplication::sendEvent(&view, &event);
    }

    // Returns whether the drop was taken. A drag always enters before it drops.
    bool drop(const QMimeData& data)
    {
        enter(data);
        QDropEvent event(QPointF(230, 230), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted() && event.dropAction() == Qt::CopyAction;
    }

    void dropFiles(const std::vector<std::filesystem::path>& files) { drop(*filesData(files)); }

    void settleOnActions(const std::vector<std::filesystem::path>& files)
    {
        dropFiles(files);
        clock.advance(600ms);
        test::finishBackgroundWork();
        ASSERT_EQ(phase(), Kind::actions);
    }
};

} // namespace

TEST_F(DropTargetTest, EveryDragIsOfferedACopy)
{
    EXPECT_EQ(enter(*textData("words")), Qt::CopyAction);
    EXPECT_EQ(enter(*filesData({file("a.png")})), Qt::CopyAction);
}

TEST_F(DropTargetTest, ADragOverTheOrbHoversAndLeavingReturnsToIdleAfterAMoment)
{
    const auto data = filesData({file("a.png")});
    enter(*data);
    EXPECT_EQ(phase(), Kind::hovering);
    leave();
    clock.advance(99ms);
    EXPECT_EQ(phase(), Kind::hovering);
    clock.advance(1ms);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(DropTargetTest, ComingBackWithinAMomentKeepsHovering)
{
    const auto data = filesData({file("a.png")});
    enter(*data);
    leave();
    clock.advance(60ms);
    enter(*data);
    clock.advance(200ms);
    EXPECT_EQ(phase(), Kind::hovering);
    // The second exit's step is the one that counts.
    leave();
    clock.advance(100ms);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(DropTargetTest, FilesDroppedOnTheOrbStartANewSelection)
{
    const auto a = file("a.png"), b = file("b.png");
    dropFiles({a, b});
    EXPECT_EQ(phase(), Kind::processing);
    clock.advance(600ms);
    test::finishBackgroundWork();
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, (std::vector{a, b}));
}

// An unusable drop over the orb or the drop zone shows its error on the drop-zone card for
// two seconds, whatever the end of the drag says; elsewhere the card stays and shows it.
TEST_F(DropTargetTest, AnUnusableDropShowsItsErrorWhereTheUserIs)
{
    struct Case {
        const char* name;
        std::function<void()> arrive;
        Kind before;
        Kind during;
        Kind after;
    };
    const std::vector<Case> cases = {
        {"idle", [] {}, Kind::idle, Kind::hovering, Kind::idle},
        {"hovering", [this] { enter(*textData("x")); }, Kind::hovering, Kind::hovering, Kind::idle},
        {"actions", [this] { settleOnActions({file("a.png")}); }, Kind::actions, Kind::actions, Kind::actions},
        {"converting",
         [this] {
             settleOnActions({file("a.png")});
             manager->startConversion("compress_image");
             test::finishBackgroundWork();
         },
         Kind::converting, Kind::converting, Kind::converting},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        manager->reset();
        c.arrive();
        ASSERT_EQ(phase(), c.before);

        EXPECT_FALSE(drop(*textData("https://example.com/page")));
        EXPECT_EQ(manager->inlineError(), "No supported files found");
        EXPECT_EQ(phase(), c.during);
        clock.advance(1999ms);
        EXPECT_EQ(phase(), c.during);
        clock.advance(1ms);
        EXPECT_EQ(phase(), c.after);
        clock.advance(10s);
    }
}

TEST_F(DropTargetTest, ASecondUnusableDropGetsItsOwnTwoSeconds)
{
    drop(*textData("one"));
    clock.advance(1500ms);
    drop(*textData("two"));
    clock.advance(1000ms);
    EXPECT_EQ(phase(), Kind::hovering);
    clock.advance(1000ms);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(DropTargetTest, AFileDragAfterAnUnusableDropEndsAsUsual)
{
    drop(*textData("words"));
    const auto data = filesData({file("a.png")});
    enter(*data);
    leave();
    clock.advance(100ms);
    EXPECT_EQ(phase(), Kind::idle);
}

TEST_F(DropTargetTest, FilesDraggedOverTheActionCardJoinItsSelection)
{
    const auto a = file("a.png"), b = file("b.png");
    settleOnActions({a});
    const auto data = filesData({b});
    enter(*data);
    EXPECT_EQ(phase(), Kind::actions);
    EXPECT_TRUE(manager->isAppendDragOver());
    leave();
    EXPECT_FALSE(manager->isAppendDragOver());
    EXPECT_TRUE(drop(*data));
    EXPECT_FALSE(manager->isAppendDragOver());
    test::finishBackgroundWork();
    clock.advance(1s);
    test::finishBackgroundWork();
    EXPECT_EQ(phase(), Kind::actions);
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, (std::vector{a, b}));
}

TEST_F(DropTargetTest, OverTheDonationCardFilesStartANewSelection)
{
    settings->setCompletedRunCount(4);
    settleOnActions({file("a.png")});
    manager->startConversion("compress_image");
    test::finishBackgroundWork();
    router->last().onFinished({1, 0, std::nullopt});
    clock.advance(1500ms);
    ASSERT_TRUE(manager->showDonation());
    ASSERT_EQ(phase(), Kind::actions);

    const auto fresh = file("fresh.png");
    const auto data = filesData({fresh});
    enter(*data);
    EXPECT_FALSE(manager->isAppendDragOver());
    drop(*data);
    EXPECT_EQ(phase(), Kind::processing);
    EXPECT_FALSE(manager->showDonation());
    clock.advance(600ms);
    test::finishBackgroundWork();
    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls, std::vector{fresh});
}

TEST_F(DropTargetTest, ADragOverARunningConversionChangesNothingButADropStartsANewSelection)
{
    settleOnActions({file("a.png")});
    manager->startConversion("compress_image");
    test::finishBackgroundWork();
    ASSERT_EQ(phase(), Kind::converting);
    const auto data = filesData({file("b.png")});
    enter(*data);
    EXPECT_EQ(phase(), Kind::converting);
    EXPECT_FALSE(manager->isAppendDragOver());
    drop(*data);
    EXPECT_EQ(phase(), Kind::processing);
}

TEST_F(DropTargetTest, WithoutAStateManagerEveryStepStillAnswers)
{
    DropTargetView orphan(nullptr, clock);
    const auto data = filesData({file("a.png")});
    QDragEnterEvent entering(QPoint(1, 1), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&orphan, &entering);
    EXPECT_TRUE(entering.isAccepted());
    QDropEvent dropping(QPointF(1, 1), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&orphan, &dropping);
    clock.advance(5s);
}

TEST(DropTargetFiles, OnlyLocalFilesAreTakenWithTheBytesOfTheirNames)
{
    struct Case {
        const char* url;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"file:///tmp/plain.png", {"/tmp/plain.png"}},
        {"file:///tmp/with%20space%20%25.png", {"/tmp/with space %.png"}},
        {"file:///tmp/caf%C3%A9.png", {"/tmp/caf\xC3\xA9.png"}},
        // Not UTF-8: the byte itself, not a replacement character.
        {"file:///tmp/caf%E9.png", {"/tmp/caf\xE9.png"}},
        {"file://localhost/tmp/local.png", {"/tmp/local.png"}},
        {"file://otherhost/tmp/remote.png", {}},
        {"https://example.com/a.png", {}},
        {"smb://server/share/a.png", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        QMimeData data;
        data.setUrls({QUrl::fromEncoded(c.url)});
        std::vector<std::string> found;
        for (const auto& path : DropTargetView::localFiles(data))
            found.push_back(path.string());
        EXPECT_EQ(found, c.expected);
    }
}

// Reading a dropped archive runs a tool over all of it; the panel must go on drawing.
TEST(DropTargetProbes, TheEventLoopRunsWhileABigZipIsRead)
{
    test::TempDir dir;
    const auto big = dir / "big.bin";
    {
        std::ofstream out(big, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 64; ++i)
            out << block;
    }
    ProcessOptions options;
    options.workingDirectory = dir.path().string();
    ASSERT_TRUE(runProcess("/usr/bin/zip", {"-q", "-0", "big.zip", "big.bin"}, options).succeeded());
    std::filesystem::remove(big);

    // On the Qt timers, as in the application: the event loop is what this watches.
    test::FakedStateManager faked;
    WidgetStateServices services = faked.services();
    services.scheduler = &QtScheduler::shared();
    WidgetStateManager manager(services);
    DropTargetView view(&manager, QtScheduler::shared());

    const auto data = filesData({dir / "big.zip"});
    QDragEnterEvent entering(QPoint(230, 230), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &entering);
    QDropEvent event(QPointF(230, 230), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
    EXPECT_EQ(manager.state().kind, Kind::processing);
    EXPECT_FALSE(manager.payload()); // still being read

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    ASSERT_TRUE(test::spinUntil([&] { return manager.payload().has_value(); }));
    EXPECT_GT(ticks, 0);
    test::finishBackgroundWork();
}
