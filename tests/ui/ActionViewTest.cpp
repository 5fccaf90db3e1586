#include "Views/ActionCard/ActionView.h"
#include "Models/ActionIds.h"
#include "Views/ActionCard/AppendZone.h"
#include "State/WidgetStateManager.h"
#include "Views/ActionCard/CardHeader.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/ActionCard/ErrorBanner.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/ActionCard/UnlockPDFButton.h"
#include "Views/Components/ActionButton.h"
#include "Views/Components/CategoryTab.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/Components/DisabledActionRow.h"
#include "Views/ContentView.h"
#include "Views/DropTargetView.h"
#include "Views/PanelGeometry.h"
#include "Views/SymbolLabel.h"
#include "support/Animations.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>
#include <atomic>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;
using Kind = WidgetPhase::Kind;

namespace {

class ActionViewTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    // Set before a drop: each payload is made of the first file alone, so an append
    // replaces the payload with one that offers the same actions.
    std::atomic<bool> buildsOnlyTheFirstFile = false;
    std::unique_ptr<ActionView> view;

    ActionViewTest()
    {
        buildPayload = [this](const std::vector<std::filesystem::path>& paths) { return build(paths); };
    }

    ~ActionViewTest() override
    {
        view.reset();
        test::finishBackgroundWork();
        manager.reset();
        test::finishBackgroundWork();
    }

    DropPayload build(const std::vector<std::filesystem::path>& paths) const
    {
        return DropPayload::from(buildsOnlyTheFirstFile ? std::vector{paths.front()} : paths);
    }

    std::filesystem::path file(const std::string& name) { return dir.write(name, "content of " + name); }

    // A drop that has settled on the action card, and the card showing it.
    void drop(const std::vector<std::filesystem::path>& urls)
    {
        manager->handleDrop(urls);
        settle();
        ASSERT_EQ(manager->state().kind, Kind::actions);
        showCard();
    }

    void append(const std::vector<std::filesystem::path>& urls)
    {
        manager->appendFiles(urls);
        settle();
    }

    void showCard()
    {
        view = std::make_unique<ActionView>(*manager, clock);
        view->show();
    }

    template <typename Row>
    Row* rowOf(const std::string& actionId)
    {
        return qobject_cast<Row*>(view->row(actionId));
    }

    std::vector<std::string> runsStarted() const
    {
        std::vector<std::string> ids;
        for (const auto& call : router->calls)
            ids.push_back(call->request.actionId);
        return ids;
    }
};

TEST_F(ActionViewTest, TheHeaderNamesTheActiveGroupOrFallsBackToFile)
{
    showCard();
    EXPECT_EQ(view->header()->text(), "File");
    EXPECT_EQ(view->header()->icon(), "doc.fill");
    EXPECT_TRUE(view->tabs().empty());

    view.reset();
    drop({file("photo.png")});
    EXPECT_EQ(view->header()->text(), "1 Images");
    ASSERT_TRUE(manager->activeGroup());
    EXPECT_EQ(view->header()->icon(), manager->activeGroup()->icon());
    EXPECT_TRUE(view->tabs().empty());
}

TEST_F(ActionViewTest, ATabClickSetsTheActiveTabAndTheCardFollows)
{
    drop({file("a.png"), file("b.png"), file("c.pdf")});
    const auto tabs = view->tabs();
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_TRUE(tabs[0]->isActive()) << "the first group is active while no tab is chosen";
    EXPECT_FALSE(tabs[1]->isActive());
    EXPECT_EQ(view->header()->text(), "2 Images");
    ASSERT_NE(view->row(ActionIds::convertImage), nullptr);
    const QPointer<QWidget> imageRow = view->row(ActionIds::convertImage);

    QTest::mouseClick(tabs[1], Qt::LeftButton);
    EXPECT_EQ(manager->activeTab(), FileCategory::document);
    EXPECT_FALSE(tabs[0]->isActive());
    EXPECT_TRUE(tabs[1]->isActive());
    EXPECT_EQ(view->header()->text(), "1 Documents");
    EXPECT_EQ(view->row(ActionIds::convertImage), nullptr);
    EXPECT_NE(view->row(ActionIds::lockPdf), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(imageRow.isNull()) << "a row whose action is gone goes too";
}

TEST_F(ActionViewTest, ABannerClickClearsTheError)
{
    drop({file("a.png")});
    EXPECT_EQ(view->banner(), nullptr);
    manager->setInlineError("Not enough disk space");
    ASSERT_NE(view->banner(), nullptr);
    EXPECT_EQ(view->banner()->message(), "Not enough disk space");
    EXPECT_EQ(view->banner()->accessibleName(), "Not enough disk space");

    QTest::mouseClick(view->banner(), Qt::LeftButton);
    EXPECT_EQ(manager->inlineError(), std::nullopt);
    EXPECT_EQ(view->banner(), nullptr);
}

TEST_F(ActionViewTest, TheAppendZoneOutranksANoticeWhichOutranksTheRows)
{
    const auto photo = file("a.png");
    drop({photo});
    EXPECT_EQ(view->body(), ActionView::Body::rows);

    append({photo});
    ASSERT_EQ(manager->actionAreaNotice(), "Already added");
    EXPECT_EQ(view->body(), ActionView::Body::notice);
    EXPECT_EQ(view->notice(), "Already added");

    manager->setIsAppendDragOver(true);
    EXPECT_EQ(view->body(), ActionView::Body::appendZone);
    manager->setIsAppendDragOver(false);
    EXPECT_EQ(view->body(), ActionView::Body::notice);

    clock.advance(10s);
    ASSERT_EQ(manager->actionAreaNotice(), std::nullopt);
    EXPECT_EQ(view->body(), ActionView::Body::rows);
}

// The texts of the append zone that the card shows, top to bottom.
QStringList shownAppendZoneTexts(const ActionView& view)
{
    QStringList texts;
    const auto* zone = view.findChild<AppendZone*>();
    if (!zone || !zone->isVisibleTo(&view))
        return texts;
    for (int i = 0; i < zone->layout()->count(); ++i) {
        const auto* label = qobject_cast<QLabel*>(zone->layout()->itemAt(i)->widget());
        if (label && !qobject_cast<const SymbolLabel*>(label) && label->isVisibleTo(&view))
            texts << label->text();
    }
    return texts;
}

TEST_F(ActionViewTest, FilesDraggedOverTheCardAreInvitedToBeAdded)
{
    drop({file("a.png")});
    EXPECT_EQ(shownAppendZoneTexts(*view), QStringList());

    manager->setIsAppendDragOver(true);
    EXPECT_EQ(shownAppendZoneTexts(*view), (QStringList{"Drop to Add More", "Release to append files"}));

    manager->setIsAppendDragOver(false);
    EXPECT_EQ(shownAppendZoneTexts(*view), QStringList());
    EXPECT_EQ(view->body(), ActionView::Body::rows);
}

TEST_F(ActionViewTest, ARowStaysWithItsTypedTextWhileItsActionIsOffered)
{
    dir.write("folder/inside.txt", "text");
    drop({dir / "folder"});
    auto* lock = rowOf<LockPDFButton>(ActionIds::compressZipWithPassword);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->header()->title(), "Protect with Password");
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    ASSERT_TRUE(lock->isExpanded());
    QTest::keyClicks(lock->passwordField()->lineEdit(), "secret");
    const QPointer<QWidget> kept = lock;

    dir.write("second/inside.txt", "text");
    const std::uint64_t before = manager->payloadSerial();
    append({dir / "second"});
    ASSERT_NE(manager->payloadSerial(), before) << "the payload was replaced";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(kept.isNull());
    EXPECT_EQ(view->row(ActionIds::compressZipWithPassword), kept.data());
    EXPECT_TRUE(lock->isExpanded());
    EXPECT_EQ(lock->passwordField()->password(), "secret");
}

TEST_F(ActionViewTest, RowsStartTheirActions)
{
    drop({file("data.json")});
    auto* format = rowOf<ActionButton>(ActionIds::formatJson);
    ASSERT_NE(format, nullptr);
    QTest::mouseClick(format, Qt::LeftButton);
    test::finishBackgroundWork();
    EXPECT_EQ(runsStarted(), std::vector<std::string>{ActionIds::formatJson});
}

TEST_F(ActionViewTest, ARunsErrorLandsOnItsRowOnly)
{
    drop({file("data.json")});
    auto* format = rowOf<ActionButton>(ActionIds::formatJson);
    auto* minify = rowOf<ActionButton>(ActionIds::minifyJson);
    ASSERT_NE(format, nullptr);
    ASSERT_NE(minify, nullptr);
    manager->startConversion(ActionIds::formatJson);
    test::finishBackgroundWork();
    ASSERT_EQ(router->calls.size(), 1u);
    router->last().onFinished(BatchResult{0, 1, "Unexpected end of input"});
    test::finishBackgroundWork();
    ASSERT_EQ(manager->state().kind, Kind::actions);
    EXPECT_EQ(view->row(ActionIds::formatJson), format) << "the same row shows the error";
    EXPECT_EQ(format->errorText(), "Unexpected end of input");
    EXPECT_EQ(minify->errorText(), std::nullopt);

    QTest::mouseClick(format, Qt::LeftButton);
    test::finishBackgroundWork();
    EXPECT_EQ(router->calls.size(), 1u) << "a click on the error starts nothing";
}

TEST_F(ActionViewTest, TheCloseButtonResets)
{
    drop({file("a.png")});
    QTest::mouseClick(view->header()->closeButton(), Qt::LeftButton);
    EXPECT_EQ(manager->state().kind, Kind::idle);
    EXPECT_EQ(manager->payload(), std::nullopt);
}

TEST_F(ActionViewTest, AVerdictArrivingAfterTheCardLeftStartsNothing)
{
    const auto pdf = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"open", "owner"});
    drop({pdf});
    auto* unlock = rowOf<UnlockPDFButton>(ActionIds::unlockPdf);
    ASSERT_NE(unlock, nullptr);
    EXPECT_TRUE(unlock->isExpanded()) << "an encrypted PDF's row opens by itself";
    QTest::keyClicks(unlock->passwordField()->lineEdit(), "open");
    QTest::mouseClick(unlock->unlockButton(), Qt::LeftButton);
    ASSERT_TRUE(unlock->isChecking());
    // The card leaves for another phase while the check runs; the payload stays.
    manager->setState(WidgetPhase::idle());
    test::finishBackgroundWork();
    EXPECT_TRUE(runsStarted().empty());
}

TEST_F(ActionViewTest, TheRightPasswordUnlocksTheDroppedPdf)
{
    const auto pdf = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"open", "owner"});
    drop({pdf});
    auto* unlock = rowOf<UnlockPDFButton>(ActionIds::unlockPdf);
    ASSERT_NE(unlock, nullptr);
    QTest::keyClicks(unlock->passwordField()->lineEdit(), "open");
    QTest::keyClick(unlock->passwordField()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(test::spinUntil([&] { return !unlock->isChecking(); }));
    test::finishBackgroundWork();
    ASSERT_EQ(runsStarted(), std::vector<std::string>{ActionIds::unlockPdf});
    EXPECT_EQ(router->last().request.password, "open");
}

TEST_F(ActionViewTest, AnUnlockRowIsMadeAnewForANewPayload)
{
    const auto pdf = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"open", "owner"});
    drop({pdf});
    const QPointer<QWidget> first = view->row(ActionIds::unlockPdf);
    ASSERT_NE(first, nullptr);

    // The payload is replaced at once, still offering the action: the row, made to test
    // the old payload, gives way to one for the new.
    buildsOnlyTheFirstFile = true;
    append({file("photo.png")});
    ASSERT_NE(view->row(ActionIds::unlockPdf), nullptr);
    EXPECT_NE(view->row(ActionIds::unlockPdf), first.data());
}

TEST_F(ActionViewTest, AFileDroppedOnAPasswordBoxIsAppendedAndTheTypedTextStays)
{
    DropTargetView target(manager.get(), clock);
    auto* layout = new QVBoxLayout(&target);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* content = new ContentView(*manager, clock, &target);
    layout->addWidget(content);
    target.resize(PanelGeometry::panelSize, PanelGeometry::panelSize);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));

    dir.write("folder/inside.txt", "text");
    manager->handleDrop({dir / "folder"});
    settle();
    test::finishAnimations(content);
    auto* card = qobject_cast<ActionView*>(content->card());
    ASSERT_NE(card, nullptr);
    auto* lock = qobject_cast<LockPDFButton*>(card->row(ActionIds::compressZipWithPassword));
    ASSERT_NE(lock, nullptr);
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    test::finishAnimations(content);
    QTest::keyClicks(lock->passwordField()->lineEdit(), "secret");

    const auto added = file("added.txt");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(added.string()))});
    data.setText(QString::fromStdString(added.string()));
    // Sent to the window, which finds the widget under the point as a real drag does.
    const QPoint overTheBox = lock->passwordField()->mapTo(&target, lock->passwordField()->rect().center());
    QDragEnterEvent entering(overTheBox, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &entering);
    QDragMoveEvent moving(overTheBox, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &moving);
    EXPECT_EQ(card->body(), ActionView::Body::appendZone);
    QDropEvent dropping(QPointF(overTheBox), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &dropping);
    settle();

    ASSERT_TRUE(manager->payload());
    EXPECT_EQ(manager->payload()->urls.size(), 2u) << "the file was appended";
    EXPECT_EQ(card->body(), ActionView::Body::rows);
    EXPECT_EQ(card->row(ActionIds::compressZipWithPassword), lock);
    EXPECT_EQ(lock->passwordField()->password(), "secret") << "nothing was inserted, nothing lost";
}

} // namespace

// The card's height once the layouts have run on what it now shows.
int cardHeightOf(ActionView& view)
{
    QCoreApplication::processEvents();
    test::finishAnimations(&view);
    QCoreApplication::processEvents();
    return view.cardRect().height();
}

TEST_F(ActionViewTest, TheCardGrowsWithWhatItShowsUpToThePanelLessEightAboveAndBelow)
{
    dir.write("folder/inside.txt", "text");
    drop({dir / "folder"});
    const auto rows = view->rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->height(), rows[1]->height()) << "a folded password row is as tall as a plain row";
    const int folded = cardHeightOf(*view);
    EXPECT_LT(folded, 320) << "two rows need less than a full card";
    EXPECT_EQ(view->content()->geometry(), view->cardRect());

    auto* lock = rowOf<LockPDFButton>(ActionIds::compressZipWithPassword);
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    const int unfolded = cardHeightOf(*view);
    EXPECT_GT(unfolded, folded);
    EXPECT_TRUE(view->cardRect().contains(lock->submitButton()->geometry().translated(
        lock->submitButton()->mapTo(view.get(), QPoint(0, 0)) - lock->submitButton()->pos())));

    manager->setInlineError("There is not enough free space on the disk holding the output folder");
    EXPECT_GT(cardHeightOf(*view), unfolded) << "the banner adds to the card";
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    manager->setInlineError(std::nullopt);
    EXPECT_EQ(cardHeightOf(*view), folded);

    manager->setIsAppendDragOver(true);
    EXPECT_GT(cardHeightOf(*view), folded) << "the append zone is taller than two rows";
    manager->setIsAppendDragOver(false);
    EXPECT_EQ(cardHeightOf(*view), folded);
}

TEST_F(ActionViewTest, PastThePanelsHeightTheRowsScrollAboveTheBanner)
{
    constexpr int tallest = PanelGeometry::panelSize - 2 * 8;
    drop({file("report.pdf")});
    const int rowsFolded = cardHeightOf(*view);
    for (QWidget* row : view->rows()) {
        if (auto* menu = qobject_cast<ConvertMenuButton*>(row))
            QTest::mouseClick(menu->row(), Qt::LeftButton);
        if (auto* lock = qobject_cast<LockPDFButton*>(row))
            QTest::mouseClick(lock->header(), Qt::LeftButton);
    }
    ASSERT_LT(rowsFolded, cardHeightOf(*view));
    manager->setInlineError("There is not enough free space on the disk holding the output folder");
    EXPECT_EQ(cardHeightOf(*view), tallest);

    const QWidget* viewport = view->rows().back()->parentWidget()->parentWidget();
    const QRect rowsShown(viewport->mapTo(view.get(), QPoint(0, 0)), viewport->size());
    const QRect banner(view->banner()->mapTo(view.get(), QPoint(0, 0)), view->banner()->size());
    EXPECT_FALSE(rowsShown.intersects(banner)) << "the banner sits below the scrolled rows, not over them";
    EXPECT_TRUE(view->cardRect().contains(banner));
}

TEST_F(ActionViewTest, TheBannerSlidesInAndAwayAndTheCardGivesUpItsRoomOnceItIsGone)
{
    drop({file("a.png")});
    const int without = cardHeightOf(*view);
    manager->setInlineError("Not enough disk space");
    ErrorBanner* banner = view->banner();
    ASSERT_NE(banner, nullptr);
    EXPECT_LT(banner->presence(), 1) << "it comes in from above, not at once";
    const int with = cardHeightOf(*view);
    EXPECT_EQ(banner->presence(), 1);
    EXPECT_GT(with, without);

    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(manager->inlineError(), std::nullopt);
    EXPECT_EQ(view->banner(), nullptr) << "a leaving banner is no longer offered";
    EXPECT_TRUE(banner->isVisible()) << "it slides away first";
    EXPECT_TRUE(banner->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(view->cardRect().height(), with);
    EXPECT_EQ(cardHeightOf(*view), without);
    EXPECT_FALSE(banner->isVisible());

    manager->setInlineError("Again");
    ASSERT_EQ(view->banner(), banner);
    EXPECT_FALSE(banner->testAttribute(Qt::WA_TransparentForMouseEvents)) << "a returning banner takes clicks again";
}

TEST_F(ActionViewTest, TheNoticeFadesInAndTheDragOutlineEasesToItsAccent)
{
    const auto photo = file("a.png");
    drop({photo});
    append({photo});
    ASSERT_EQ(view->body(), ActionView::Body::notice);
    QWidget* noticeForm = nullptr;
    for (QLabel* label : view->findChildren<QLabel*>())
        if (label->text() == "Already added")
            noticeForm = label->parentWidget();
    ASSERT_NE(noticeForm, nullptr);
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(noticeForm->graphicsEffect());
    ASSERT_NE(fade, nullptr);
    EXPECT_LT(fade->opacity(), 1);
    test::finishAnimations(view.get());
    EXPECT_EQ(noticeForm->graphicsEffect(), nullptr) << "whole, it is drawn without the effect";

    manager->setIsAppendDragOver(true);
    EXPECT_EQ(view->dragOutline(), 0) << "the outline eases, it does not jump";
    test::finishAnimations(view.get());
    EXPECT_EQ(view->dragOutline(), 1);
    manager->setIsAppendDragOver(false);
    test::finishAnimations(view.get());
    EXPECT_EQ(view->dragOutline(), 0);
}

TEST_F(ActionViewTest, ALockRunThatFailsOnEveryFileTellsItOnItsPasswordRow)
{
    dir.write("folder/inside.txt", "text");
    drop({dir / "folder"});
    auto* lock = rowOf<LockPDFButton>(ActionIds::compressZipWithPassword);
    ASSERT_NE(lock, nullptr);
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    const std::string tooLong(81, 'a');
    QTest::keyClicks(lock->passwordField()->lineEdit(), QString::fromStdString(tooLong));
    QTest::keyClicks(lock->confirmField()->lineEdit(), QString::fromStdString(tooLong));
    QTest::keyClick(lock->confirmField()->lineEdit(), Qt::Key_Return);
    test::finishBackgroundWork();
    ASSERT_EQ(router->calls.size(), 1u);
    router->last().onFinished(BatchResult{0, 1, "The password is longer than 80 bytes"});
    test::finishBackgroundWork();
    ASSERT_EQ(manager->state().kind, Kind::actions);

    // The panel makes a new card for the actions phase it returns to.
    showCard();
    lock = rowOf<LockPDFButton>(ActionIds::compressZipWithPassword);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->header()->title(), "The password is longer than 80 bytes");
    QTest::mouseClick(lock->header(), Qt::LeftButton);
    EXPECT_FALSE(lock->isExpanded()) << "a click on the message does nothing";
    EXPECT_EQ(router->calls.size(), 1u);
}
