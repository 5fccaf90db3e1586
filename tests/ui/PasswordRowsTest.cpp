#include "Views/ActionCard/LockPDFButton.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/ActionCard/UnlockPDFButton.h"
#include "Views/Components/ActionRow.h"
#include "support/Animations.h"
#include "support/EventLoop.h"
#include "support/Gate.h"
#include "support/ManualScheduler.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

using Offsets = std::vector<double>;
const Offsets lockShake{10, -10, 8, -8, 4, 0};
const Offsets unlockShake{12, -12, 10, -10, 5, 0};

// The offsets `offset` reads at each of the six steps of a shake that starts now.
Offsets offsetsOverShake(test::ManualScheduler& clock, const std::function<double()>& offset)
{
    Offsets offsets;
    for (int step = 0; step < 6; ++step) {
        clock.advance(step == 0 ? 0ms : 50ms);
        offsets.push_back(offset());
    }
    return offsets;
}

bool showsText(const QWidget& widget, const QString& text)
{
    for (const QLabel* label : widget.findChildren<QLabel*>())
        if (label->text() == text && label->isVisibleTo(&widget))
            return true;
    return false;
}

void type(PasswordField* field, const QString& text)
{
    QTest::keyClicks(field->lineEdit(), text);
}

void pressReturn(PasswordField* field)
{
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
}

// Counts the Return presses that get past a widget.
class ReturnCatcher : public QWidget {
public:
    int returns = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return)
            ++returns;
    }
};

TEST(PasswordField, MasksTheEntryAndTellsOnlyUserEditsAndReturn)
{
    ReturnCatcher parent;
    auto* field = new PasswordField(QStringLiteral("Enter password"), &parent);
    int edits = 0;
    int submits = 0;
    QObject::connect(field, &PasswordField::edited, [&] { ++edits; });
    QObject::connect(field, &PasswordField::submitted, [&] { ++submits; });

    EXPECT_EQ(field->lineEdit()->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(field->lineEdit()->hasFrame());
    EXPECT_EQ(field->lineEdit()->accessibleName(), QStringLiteral("Enter password"));

    type(field, QStringLiteral("ab"));
    EXPECT_EQ(edits, 2);
    EXPECT_EQ(field->password(), "ab");
    field->clear();
    EXPECT_EQ(field->lineEdit()->text(), QString());
    EXPECT_EQ(edits, 2) << "emptying the box is not a user edit";

    pressReturn(field);
    EXPECT_EQ(submits, 1);
    EXPECT_EQ(parent.returns, 0) << "Return stays in the box";
}

// The panel is shown without taking the focus; a press on a box must bring the keyboard to it.
TEST(PasswordField, APressActivatesItsWindow)
{
    QWidget panel;
    auto* layout = new QVBoxLayout(&panel);
    auto* field = new PasswordField(QStringLiteral("Password"), &panel);
    layout->addWidget(field);
    panel.show();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    QTest::mouseClick(field->lineEdit(), Qt::LeftButton);
    EXPECT_TRUE(test::spinUntil([&] { return QApplication::activeWindow() == &panel; }, 2000));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw"));
    EXPECT_EQ(field->password(), "pw");
}

// Stands for the panel's drop target: it takes any drag of files.
class FileDropTarget : public QWidget {
public:
    FileDropTarget() { setAcceptDrops(true); }
    std::vector<QUrl> dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override
    {
        for (const QUrl& url : event->mimeData()->urls())
            dropped.push_back(url);
        event->acceptProposedAction();
    }
};

TEST(PasswordField, AFileDroppedOnTheBoxReachesTheDropTargetAndInsertsNothing)
{
    FileDropTarget target;
    auto* layout = new QVBoxLayout(&target);
    auto* field = new PasswordField(QStringLiteral("Password"), &target);
    layout->addWidget(field);
    target.resize(300, 100);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf"))});
    data.setText(QStringLiteral("/tmp/report.pdf"));
    // Sent to the window, which finds the widget under the point as a real drag does.
    const QPointF overTheLine = field->lineEdit()->mapTo(&target, field->lineEdit()->rect().center());
    QDragEnterEvent entering(overTheLine.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &entering);
    QDragMoveEvent moving(overTheLine.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &moving);
    QDropEvent dropping(overTheLine, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target.windowHandle(), &dropping);

    EXPECT_EQ(field->lineEdit()->text(), QString());
    ASSERT_EQ(target.dropped.size(), 1u);
    EXPECT_EQ(target.dropped.front(), QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf")));
}

class LockRowTest : public ::testing::Test {
protected:
    test::ManualScheduler clock;
    std::vector<std::string> submitted;
    LockPDFButton row{QStringLiteral("Protect with Password"), QStringLiteral("Compress"),
                      [this](const std::string& password) { submitted.push_back(password); }, std::nullopt, clock};

    void expand()
    {
        row.header()->click();
        test::finishAnimations(&row);
    }
};

struct LockCase {
    const char* name;
    QString password;
    QString confirm;
    std::vector<std::string> submitted;
    bool mismatch;

    friend void PrintTo(const LockCase& c, std::ostream* os) { *os << c.name; }
};

class LockSubmitTest : public LockRowTest, public ::testing::WithParamInterface<LockCase> { };

TEST_P(LockSubmitTest, SubmitHandsOnOnlyAgreedEntriesAndShakesAMismatch)
{
    const LockCase& c = GetParam();
    for (const bool byReturn : {false, true}) {
        SCOPED_TRACE(byReturn ? "Return in the confirmation box" : "the button");
        LockPDFButton fresh(
            QStringLiteral("Lock PDF"), QStringLiteral("Lock"),
            [this](const std::string& password) { submitted.push_back(password); }, std::nullopt, clock);
        submitted.clear();
        fresh.header()->click();
        type(fresh.passwordField(), c.password);
        type(fresh.confirmField(), c.confirm);
        if (byReturn)
            pressReturn(fresh.confirmField());
        else
            fresh.submitButton()->click();

        EXPECT_EQ(submitted, c.submitted);
        EXPECT_EQ(fresh.showsMismatch(), c.mismatch);
        EXPECT_EQ(fresh.confirmField()->isError(), c.mismatch);
        EXPECT_EQ(showsText(fresh, QStringLiteral("Passwords don't match")), c.mismatch);
        const Offsets offsets = offsetsOverShake(clock, [&] { return fresh.confirmField()->shakeOffset(); });
        EXPECT_EQ(offsets, c.mismatch ? lockShake : Offsets(6, 0));
        EXPECT_EQ(fresh.passwordField()->password(), c.password.toStdString()) << "entries stay for correction";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LockSubmitTest,
                         ::testing::Values(LockCase{"EmptyPassword", "", "any", {}, false},
                                           LockCase{"EmptyConfirmation", "a", "", {}, true},
                                           LockCase{"Different", "a", "b", {}, true}, LockCase{"Same", "a", "a", {"a"}, false},
                                           LockCase{"SameWithSpacesAndQuotes", "a \"b' c", "a \"b' c", {"a \"b' c"}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LockRowTest, ReturnInTheFirstBoxDoesNothing)
{
    expand();
    type(row.passwordField(), QStringLiteral("a"));
    pressReturn(row.passwordField());
    EXPECT_TRUE(submitted.empty());
    EXPECT_FALSE(row.showsMismatch());

    type(row.confirmField(), QStringLiteral("a"));
    pressReturn(row.passwordField());
    EXPECT_TRUE(submitted.empty());
}

TEST_F(LockRowTest, FoldingClearsTheMismatchAndKeepsTheEntries)
{
    expand();
    type(row.passwordField(), QStringLiteral("a"));
    type(row.confirmField(), QStringLiteral("b"));
    row.submitButton()->click();
    ASSERT_TRUE(row.showsMismatch());
    type(row.confirmField(), QStringLiteral("c"));
    EXPECT_TRUE(row.showsMismatch()) << "editing keeps the message";

    row.header()->click();
    row.header()->click();
    test::finishAnimations(&row);
    EXPECT_TRUE(row.isExpanded());
    EXPECT_FALSE(row.showsMismatch());
    EXPECT_FALSE(showsText(row, QStringLiteral("Passwords don't match")));
    EXPECT_EQ(row.passwordField()->password(), "a");
    EXPECT_EQ(row.confirmField()->password(), "bc");
}

TEST_F(LockRowTest, TabGoesFromPasswordToConfirmationToTheButton)
{
    row.resize(300, 300);
    row.show();
    expand();
    row.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&row));
    row.passwordField()->lineEdit()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), row.confirmField()->lineEdit());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), row.submitButton());

    type(row.passwordField(), QStringLiteral("a"));
    type(row.confirmField(), QStringLiteral("a"));
    QTest::keyClick(row.submitButton(), Qt::Key_Return);
    EXPECT_EQ(submitted, std::vector<std::string>{"a"});
}

// The full-failure message of a run: like an action button's.
template <typename Row>
void expectRunErrorTakesTheTitle(Row& row, test::ManualScheduler& clock, const QString& title)
{
    const QString message = QStringLiteral("Password is too long");
    row.setErrorText(message);
    EXPECT_EQ(row.header()->title(), message);
    EXPECT_FALSE(row.isExpanded());
    clock.advance(50ms);
    EXPECT_EQ(offsetsOverShake(clock, [&] { return row.header()->shakeOffset(); }), lockShake);

    row.header()->click();
    EXPECT_FALSE(row.isExpanded()) << "a click on the message does nothing";

    row.setErrorText(std::nullopt);
    EXPECT_EQ(row.header()->title(), title);
    row.header()->click();
    EXPECT_TRUE(row.isExpanded());
}

TEST_F(LockRowTest, ARunErrorTakesTheTitleShakesAndIgnoresClicks)
{
    expand();
    expectRunErrorTakesTheTitle(row, clock, QStringLiteral("Protect with Password"));
}

class UnlockRowTest : public ::testing::Test {
protected:
    test::ManualScheduler clock;
    test::Gate gate;
    std::atomic<bool> accepts = true;
    std::mutex checkedMutex;
    std::vector<std::string> checked;
    std::uint64_t currentSerial = 7;
    std::vector<std::string> submitted;
    std::unique_ptr<UnlockPDFButton> row = makeRow(true);

    std::unique_ptr<UnlockPDFButton> makeRow(bool autoExpand)
    {
        return std::make_unique<UnlockPDFButton>([this](const std::string& password) { submitted.push_back(password); },
                                                 [this](const std::string& password) {
                                                     {
                                                         std::lock_guard lock(checkedMutex);
                                                         checked.push_back(password);
                                                     }
                                                     gate.wait();
                                                     return accepts.load();
                                                 },
                                                 autoExpand, 7, [this] { return currentSerial; }, std::nullopt, clock);
    }

    std::vector<std::string> checkedPasswords()
    {
        std::lock_guard lock(checkedMutex);
        return checked;
    }

    void waitForVerdict()
    {
        gate.open();
        ASSERT_TRUE(test::spinUntil([&] { return !row->isChecking(); }));
    }

    ~UnlockRowTest() override
    {
        gate.open();
        test::finishBackgroundWork();
    }
};

TEST_F(UnlockRowTest, AutoExpandOpensTheRowAndNamesTheDocument)
{
    EXPECT_TRUE(row->isExpanded());
    EXPECT_EQ(row->header()->title(), QStringLiteral("Unlock Document"));
    const auto collapsed = makeRow(false);
    EXPECT_FALSE(collapsed->isExpanded());
    EXPECT_EQ(collapsed->header()->title(), QStringLiteral("Unlock PDF"));
}

TEST_F(UnlockRowTest, OneCheckAtATimeAndTheAcceptedPasswordIsTheOneChecked)
{
    type(row->passwordField(), QStringLiteral("secret"));
    pressReturn(row->passwordField());
    ASSERT_TRUE(test::spinUntil([&] { return gate.arrivals() == 1; }));
    EXPECT_TRUE(row->isChecking());
    EXPECT_EQ(row->unlockButton()->text(), QStringLiteral("Checking…"));
    EXPECT_FALSE(row->unlockButton()->isEnabled());

    pressReturn(row->passwordField());
    row->unlockButton()->click();
    type(row->passwordField(), QStringLiteral("X"));
    waitForVerdict();

    EXPECT_EQ(checkedPasswords(), std::vector<std::string>{"secret"});
    EXPECT_EQ(submitted, std::vector<std::string>{"secret"});
    EXPECT_EQ(row->unlockButton()->text(), QStringLiteral("Unlock"));
}

TEST_F(UnlockRowTest, ARejectionEmptiesTheBoxShakesAndTheFirstEditRemovesTheMessage)
{
    accepts = false;
    type(row->passwordField(), QStringLiteral("guess"));
    row->unlockButton()->click();
    waitForVerdict();

    EXPECT_TRUE(submitted.empty());
    EXPECT_EQ(row->passwordField()->lineEdit()->text(), QString());
    EXPECT_TRUE(row->showsWrongPassword());
    EXPECT_TRUE(row->passwordField()->isError());
    EXPECT_TRUE(showsText(*row, QStringLiteral("Wrong password")));
    EXPECT_EQ(offsetsOverShake(clock, [&] { return row->passwordField()->shakeOffset(); }), unlockShake);

    type(row->passwordField(), QStringLiteral("n"));
    EXPECT_FALSE(row->showsWrongPassword());
    EXPECT_FALSE(row->passwordField()->isError());
    EXPECT_FALSE(showsText(*row, QStringLiteral("Wrong password")));
}

TEST_F(UnlockRowTest, AnEmptyEntryIsNotChecked)
{
    pressReturn(row->passwordField());
    row->unlockButton()->click();
    test::finishBackgroundWork();
    EXPECT_FALSE(row->isChecking());
    EXPECT_TRUE(checkedPasswords().empty());
}

TEST_F(UnlockRowTest, AVerdictForAReplacedPayloadIsDropped)
{
    for (const bool accepted : {true, false}) {
        SCOPED_TRACE(accepted ? "accepted" : "rejected");
        accepts = accepted;
        currentSerial = 7;
        row = makeRow(true);
        type(row->passwordField(), QStringLiteral("secret"));
        pressReturn(row->passwordField());
        currentSerial = 8;
        waitForVerdict();
        EXPECT_TRUE(submitted.empty());
        EXPECT_FALSE(row->showsWrongPassword());
    }
}

TEST_F(UnlockRowTest, ARowDestroyedDuringACheckGetsNoVerdict)
{
    type(row->passwordField(), QStringLiteral("secret"));
    pressReturn(row->passwordField());
    ASSERT_TRUE(test::spinUntil([&] { return gate.arrivals() == 1; }));
    row.reset();
    gate.open();
    test::finishBackgroundWork();
    EXPECT_TRUE(submitted.empty());
}

TEST_F(UnlockRowTest, ARunErrorTakesTheTitleShakesAndIgnoresClicks)
{
    expectRunErrorTakesTheTitle(*row, clock, QStringLiteral("Unlock Document"));
}

} // namespace
