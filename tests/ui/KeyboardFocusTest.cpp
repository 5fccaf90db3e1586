#include "Views/KeyboardFocus.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace vantory;

// The panel is a window that refuses focus, so that showing it never takes the keyboard;
// a text box in it must still get what is typed once pressed.
TEST(KeyboardFocus, APanelThatRefusesFocusTakesTheKeyboardForATextBox)
{
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    panel.setAttribute(Qt::WA_ShowWithoutActivating);
    auto* box = new QLineEdit(&panel);
    (new QVBoxLayout(&panel))->addWidget(box);
    panel.show();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    takeKeyboardFor(box);
    box->setFocus();
    ASSERT_TRUE(test::spinUntil([&] { return QApplication::activeWindow() == &panel; }, 2000));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw"));
    EXPECT_EQ(box->text(), "pw");
}
