#include "Views/KeyboardFocus.h"
#include "State/WidgetStateManager.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/UnlockPDFButton.h"
#include "Views/Components/ActionRow.h"
#include "Views/ContentView.h"
#include "Views/FloatingPanel.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The panel is a window that refuses focus, so that showing it never takes the keyboard
// from the window the user works in; a text box in it borrows the keyboard and gives it
// back.
class KeyboardLoanTest : public ::testing::Test {
protected:
    QWidget other;
    QWidget panel{nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus};
    test::ManualScheduler clock;

    KeyboardLoanTest()
    {
        panel.setAttribute(Qt::WA_ShowWithoutActivating);
        new QVBoxLayout(&panel);
    }

    template <typename Row>
    Row* add(Row* row)
    {
        panel.layout()->addWidget(row);
        return row;
    }

    // The panel on screen, the keyboard in the other window: the offscreen platform
    // activates every window it shows.
    void show()
    {
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        activate(other);
    }

    bool typingGoesTo(const QLineEdit* box)
    {
        return test::spinUntil([&] { return QApplication::activeWindow() == &panel && QApplication::focusWidget() == box; },
                               2000);
    }

    bool keyboardIsBack()
    {
        return test::spinUntil([&] { return QApplication::activeWindow() == &other; }, 2000) && !borrowsKeyboard(&panel)
               && panel.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
    }
};

LockPDFButton* lockRow(test::ManualScheduler& clock)
{
    return new LockPDFButton(QStringLiteral("Lock PDF"), QStringLiteral("Lock"), [](const std::string&) {}, std::nullopt, clock);
}

} // namespace

TEST_F(KeyboardLoanTest, APressOrADoubleClickOnABoxGivesItTheKeyboard)
{
    auto* field = add(new PasswordField(QStringLiteral("Password")));
    show();
    // The first press a box sees may be the second of a double-click, when it slides under
    // a pointer that has just clicked something else.
    for (QEvent::Type press : {QEvent::MouseButtonDblClick, QEvent::MouseButtonPress}) {
        const QPointF inside = QRectF(field->lineEdit()->rect()).center();
        QMouseEvent event(press, inside, field->lineEdit()->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(field->lineEdit(), &event);
        EXPECT_TRUE(typingGoesTo(field->lineEdit())) << press;
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw"));
        EXPECT_EQ(field->password(), "pw") << press;
        field->clear();
        handKeyboardBack(field);
        ASSERT_TRUE(keyboardIsBack()) << press;
    }
}

TEST_F(KeyboardLoanTest, HandingTheKeyboardBackReturnsItToTheWindowThatHadIt)
{
    auto* box = add(new QLineEdit);
    show();
    takeKeyboardFor(box);
    box->setFocus();
    ASSERT_TRUE(typingGoesTo(box));
    EXPECT_TRUE(borrowsKeyboard(box));

    handKeyboardBack(box);
    EXPECT_TRUE(keyboardIsBack());
    EXPECT_FALSE(box->hasFocus());
}

TEST_F(KeyboardLoanTest, OpeningAPasswordRowPutsTheKeyboardInItsFirstBoxAndFoldingGivesItBack)
{
    LockPDFButton* row = add(lockRow(clock));
    show();
    row->header()->click();
    EXPECT_TRUE(typingGoesTo(row->passwordField()->lineEdit()));

    row->header()->click();
    EXPECT_TRUE(keyboardIsBack());
}

TEST_F(KeyboardLoanTest, ARowThatOpensByItselfTakesTheKeyboardOnceOnScreen)
{
    auto* row = add(new UnlockPDFButton([](const std::string&) {}, [](const std::string&) { return false; }, true, 1,
                                        [] { return std::uint64_t(1); }, std::nullopt, clock));
    ASSERT_TRUE(row->isExpanded());
    EXPECT_FALSE(borrowsKeyboard(&panel)) << "not before it shows";
    activate(other);
    panel.show();
    EXPECT_TRUE(typingGoesTo(row->passwordField()->lineEdit()));
    EXPECT_TRUE(borrowsKeyboard(&panel));
}

TEST_F(KeyboardLoanTest, AnErrorThatFoldsTheRowGivesTheKeyboardBack)
{
    LockPDFButton* row = add(lockRow(clock));
    show();
    row->header()->click();
    ASSERT_TRUE(typingGoesTo(row->passwordField()->lineEdit()));

    row->setErrorText(QStringLiteral("Conversion failed"));
    EXPECT_TRUE(keyboardIsBack());
}

TEST_F(KeyboardLoanTest, AFoldingRowWithoutTheKeyboardLeavesItWhereItIs)
{
    LockPDFButton* typedIn = add(lockRow(clock));
    LockPDFButton* other = add(lockRow(clock));
    show();
    other->header()->click();
    typedIn->header()->click();
    ASSERT_TRUE(typingGoesTo(typedIn->passwordField()->lineEdit()));

    other->header()->click();
    EXPECT_TRUE(typingGoesTo(typedIn->passwordField()->lineEdit()));
    EXPECT_TRUE(borrowsKeyboard(&panel));
}

TEST(KeyboardLoan, AChangeOfCardOrAHiddenPanelGivesTheKeyboardBack)
{
    test::FakedStateManager faked;
    test::ManualScheduler& clock = faked.clock;
    WidgetStateManager& manager = *faked.manager;
    manager.setState(WidgetPhase::actions());
    QWidget other;

    const std::function<void(FloatingPanel&)> leaves[] = {
        [&](FloatingPanel&) { manager.setState(WidgetPhase::converting(0, 1)); },
        [&](FloatingPanel& panel) { panel.hide(); },
    };
    for (const auto& leave : leaves) {
        FloatingPanel panel;
        auto* content = new ContentView(manager, clock, &panel);
        content->resize(panel.size());
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        activate(other);
        auto* box = new QLineEdit(content->card());
        box->show();
        takeKeyboardFor(box);
        box->setFocus();
        ASSERT_TRUE(test::spinUntil([&] { return QApplication::focusWidget() == box; }, 2000));

        leave(panel);
        EXPECT_TRUE(test::spinUntil([&] { return QApplication::activeWindow() == &other; }, 2000));
        EXPECT_FALSE(borrowsKeyboard(&panel));
        manager.setState(WidgetPhase::actions());
    }
    test::finishBackgroundWork();
}

TEST(KeyboardLoan, AWindowThatTookTheKeyboardBeforeStillTakesItAfterwards)
{
    QWidget window;
    auto* box = new QLineEdit(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    takeKeyboardFor(box);
    handKeyboardBack(box);
    EXPECT_FALSE(window.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
}
