// Using the cards from the keyboard: Tab goes through the controls as they are seen, the
// focused control shows a ring in the accent, and Return, Enter and Space click it.

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/ActionView.h"
#include "Views/ActionCard/CardHeader.h"
#include "Views/ActionCard/CloseButton.h"
#include "Views/ActionCard/ErrorBanner.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/ActionCard/PasswordField.h"
#include "Views/ActionCard/SubmitButton.h"
#include "Views/ActionCard/TabStrip.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/CategoryTab.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/Components/FormatPill.h"
#include "Views/Components/TextButton.h"
#include "Views/FocusRing.h"
#include "Views/States/CopyButton.h"
#include "Views/Theme.h"
#include "Views/Typography.h"
#include "support/Animations.h"
#include "support/FakedStateManager.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> utf8(const std::vector<QString>& texts)
{
    std::vector<std::string> converted;
    for (const QString& text : texts)
        converted.push_back(text.toStdString());
    return converted;
}

// A control on a window of its own, which has the keyboard.
struct Control {
    const char* name;
    // Makes the control inside `window`; returns what takes the focus and what shows it.
    std::function<std::pair<QWidget*, QWidget*>(QWidget* window)> make;
};

void PrintTo(const Control& control, std::ostream* os)
{
    *os << control.name;
}

CategoryGroup videos()
{
    return CategoryGroup{FileCategory::video, {"/tmp/a.mp4", "/tmp/b.mp4"}, {"mp4"}};
}

ConversionTarget png()
{
    return ConversionTarget{"to_png", "png", "PNG"};
}

template <typename Make>
std::function<std::pair<QWidget*, QWidget*>(QWidget*)> itself(Make make)
{
    return [make](QWidget* window) {
        QWidget* control = make(window);
        return std::pair{control, control};
    };
}

std::vector<Control> focusableControls()
{
    return {
        {"action row", itself([](QWidget* w) { return new ActionRow("photo.fill", "Compress Image", "chevron.right", w); })},
        {"inactive tab", itself([](QWidget* w) { return new CategoryTab(videos(), false, [] {}, w); })},
        {"active tab", itself([](QWidget* w) { return new CategoryTab(videos(), true, [] {}, w); })},
        {"format pill", itself([](QWidget* w) { return new FormatPill(png(), [] {}, w); })},
        {"close button", itself([](QWidget* w) { return new CloseButton(w); })},
        {"error banner",
         itself([](QWidget* w) {
             auto* banner = new ErrorBanner(w);
             banner->setMessage("No supported files found");
             return banner;
         })},
        {"submit button, waiting", itself([](QWidget* w) { return new SubmitButton("Lock", w); })},
        {"submit button, ready",
         itself([](QWidget* w) {
             auto* button = new SubmitButton("Lock", w);
             button->setReady(true);
             return button;
         })},
        {"text button",
         itself([](QWidget* w) {
             return new TextButton("Maybe Later", {Typography::font(13), Theme::textSecondary(), Qt::transparent, 8, 4, 10}, w);
         })},
        {"copy button", itself([](QWidget* w) { return new CopyButton(w); })},
    };
}

// Whether `picture` shows the ring at the middle of its left edge: the accent, then a light
// line inside it (antialiased where the edge curves).
bool showsFocusRing(const QImage& picture)
{
    const int middle = picture.height() / 2;
    const QColor edge = picture.pixelColor(1, middle);
    const QColor accent = Theme::accent();
    const bool accentEdge = std::abs(edge.red() - accent.red()) <= 16 && std::abs(edge.green() - accent.green()) <= 16
                            && std::abs(edge.blue() - accent.blue()) <= 16 && edge.alpha() >= 240;
    return accentEdge && picture.pixelColor(2, middle).lightness() >= 200;
}

class KeyboardTest : public ::testing::TestWithParam<Control> {
protected:
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();

    std::pair<QWidget*, QWidget*> showControl()
    {
        auto [focus, shown] = GetParam().make(window.get());
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(shown);
        window->resize(280, shown->sizeHint().height() + 20);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return {focus, shown};
    }
};

} // namespace

TEST_P(KeyboardTest, TheFocusedControlShowsARingInTheAccent)
{
    auto [focus, shown] = showControl();
    window->setFocus();
    EXPECT_FALSE(showsFocusRing(shown->grab().toImage()));

    focus->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(focus->hasFocus());
    EXPECT_TRUE(showsFocusRing(shown->grab().toImage()));
}

TEST_P(KeyboardTest, ReturnEnterAndSpaceClickTheFocusedControl)
{
    auto [focus, shown] = showControl();
    auto* button = qobject_cast<QAbstractButton*>(focus);
    ASSERT_NE(button, nullptr);
    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    button->setFocus(Qt::TabFocusReason);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        QTest::keyClick(button, key);
    }
    EXPECT_EQ(clicks, 3);
}

TEST_P(KeyboardTest, TabReachesItButAClickLeavesTheFocusWhereItIs)
{
    auto [focus, shown] = showControl();
    auto* typing = new QLineEdit(window.get());
    window->layout()->addWidget(typing);
    typing->show();
    typing->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(typing->hasFocus());

    QTest::mouseClick(focus, Qt::LeftButton, {}, QPoint(focus->width() / 2, focus->height() / 2));
    EXPECT_TRUE(typing->hasFocus());
    typing->setFocus(Qt::TabFocusReason);
    QTest::keyClick(typing, Qt::Key_Backtab);
    EXPECT_TRUE(focus->hasFocus());
}

INSTANTIATE_TEST_SUITE_P(Controls, KeyboardTest, ::testing::ValuesIn(focusableControls()),
                         [](const ::testing::TestParamInfo<Control>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name))
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             return name;
                         });

TEST(FocusRingTest, APasswordBoxShowsTheRingWhileItsLineHasTheFocus)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new PasswordField("Password", &window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(field);
    layout->addWidget(other);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    other->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(showsFocusRing(field->grab().toImage()));
    field->lineEdit()->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(showsFocusRing(field->grab().toImage()));
    other->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(showsFocusRing(field->grab().toImage()));
}

TEST(FocusRingTest, AScrollAreaRingsItsViewportWhileFocused)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* scroll = new QScrollArea(&window);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(new QWidget);
    FocusRing::ringWhileFocused(scroll, 10);
    auto* other = new QLineEdit(&window);
    layout->addWidget(scroll);
    layout->addWidget(other);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    other->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(showsFocusRing(scroll->grab().toImage()));
    scroll->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(showsFocusRing(scroll->grab().toImage()));
}

namespace {

class ActionCardKeyboardTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    std::unique_ptr<ActionView> view;

    ~ActionCardKeyboardTest() override
    {
        view.reset();
        test::finishBackgroundWork();
    }

    void drop(const std::vector<std::filesystem::path>& files)
    {
        manager->handleDrop(files);
        settle();
        view = std::make_unique<ActionView>(*manager, clock);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    // The accessible names of the controls Tab goes through, starting at the close button.
    std::vector<QString> tabStops(int count)
    {
        view->header()->closeButton()->setFocus(Qt::TabFocusReason);
        std::vector<QString> names;
        for (int i = 0; i < count; ++i) {
            QWidget* focused = QApplication::focusWidget();
            names.push_back(focused ? QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Name)
                                    : QStringLiteral("(nothing)"));
            QTest::keyClick(focused ? focused : view.get(), Qt::Key_Tab);
        }
        return names;
    }

    // The rows' titles, and the boxes and button of an open password row.
    std::vector<QString> rowControls() const
    {
        // The rows of an earlier tab are gone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<QString> names;
        for (QWidget* row : view->rows()) {
            auto* header = qobject_cast<ActionRow*>(row) ? qobject_cast<ActionRow*>(row) : row->findChild<ActionRow*>();
            names.push_back(header->title());
            if (auto* lock = qobject_cast<LockPDFButton*>(row); lock && lock->isExpanded())
                names.insert(names.end(), {"Password", "Confirm password", lock->submitButton()->text()});
        }
        return names;
    }
};

} // namespace

TEST_F(ActionCardKeyboardTest, TabGoesFromTheCloseButtonThroughTheTabsAndTheRowsAsShown)
{
    std::filesystem::create_directories(dir / "folder");
    drop({dir.write("photo.png", "x"), dir.write("report.pdf", "y"), dir / "folder"});

    // The banner, made with the card, comes after the rows it is shown below; each tab brings
    // rows made after it; the boxes of an open password row come between its header and the
    // next row.
    manager->setInlineError("Not enough disk space");
    for (const FileCategory tab : {FileCategory::image, FileCategory::folder, FileCategory::image}) {
        SCOPED_TRACE(rawValue(tab));
        const std::size_t index = tab == FileCategory::image ? 0 : 2;
        view->tabs().at(index)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(view->tabs().at(index), Qt::Key_Space);
        ASSERT_EQ(manager->activeTab(), tab);
        for (auto* lock : view->findChildren<LockPDFButton*>())
            QTest::keyClick(lock->header(), Qt::Key_Return);

        std::vector<QString> expected = {"Close", "1 Images", "1 Documents", "1 Folders"};
        for (const QString& name : rowControls())
            expected.push_back(name);
        expected.push_back("Not enough disk space");
        expected.push_back("Close");
        EXPECT_EQ(utf8(tabStops(static_cast<int>(expected.size()))), utf8(expected));
    }
}

TEST_F(ActionCardKeyboardTest, TabScrollsTheRowItReachesIntoView)
{
    drop({dir.write("report.pdf", "x"), dir.write("annex.pdf", "x")});
    for (auto* lock : view->findChildren<LockPDFButton*>())
        QTest::keyClick(lock->header(), Qt::Key_Return);
    manager->setInlineError("There is not enough free space on the disk holding the output folder");
    test::finishAnimations(view.get());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QWidget* last = view->rows().back();
    QScrollArea* rows = nullptr;
    for (QWidget* above = last->parentWidget(); above && !rows; above = above->parentWidget())
        rows = qobject_cast<QScrollArea*>(above);
    ASSERT_NE(rows, nullptr);
    ASSERT_GT(rows->verticalScrollBar()->maximum(), 0) << "the rows overflow the card";
    ASSERT_EQ(rows->verticalScrollBar()->value(), 0);

    view->header()->closeButton()->setFocus(Qt::TabFocusReason);
    while (QApplication::focusWidget() != last && QApplication::focusWidget() != view->banner())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), last);
    const QRect shown(last->mapTo(rows->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(rows->viewport()->rect().contains(shown)) << "the row is scrolled into view";

    // Back from the first control to the banner, and on into the rows, scrolled back to the top.
    QTest::keyClick(last, Qt::Key_Tab);
    QTest::keyClick(view->banner(), Qt::Key_Tab);
    rows->verticalScrollBar()->setValue(0);
    QTest::keyClick(view->header()->closeButton(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), view->banner());
    QTest::keyClick(view->banner(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), last);
    const QRect shownAgain(last->mapTo(rows->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(rows->viewport()->rect().contains(shownAgain)) << "the row is scrolled into view again";
}

TEST_F(ActionCardKeyboardTest, ReturnOnAConvertMenuOpensItsPillsAndReturnOnAPillStartsTheRun)
{
    drop({dir.write("photo.png", "x")});
    auto* menu = qobject_cast<ConvertMenuButton*>(view->row("convert_image"));
    ASSERT_NE(menu, nullptr);
    menu->row()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(menu->row(), Qt::Key_Return);
    EXPECT_TRUE(menu->isExpanded());

    QTest::keyClick(menu->row(), Qt::Key_Tab);
    auto* pill = qobject_cast<FormatPill*>(QApplication::focusWidget());
    ASSERT_NE(pill, nullptr) << "Tab goes on to the first pill";
    QTest::keyClick(pill, Qt::Key_Return);
    test::finishBackgroundWork();
    ASSERT_EQ(router->calls.size(), 1u);
    EXPECT_EQ(router->last().request.actionId, "convert_image");
    EXPECT_EQ(router->last().request.targetFormat, pill->target().format);
}

TEST_F(ActionCardKeyboardTest, AnOrdinaryWheelScrollsTabsPastTheCardsEdge)
{
    std::filesystem::create_directories(dir / "folder");
    drop({dir.write("a.png", "x"), dir.write("b.mp4", "x"), dir.write("c.mp3", "x"), dir.write("d.pdf", "x"),
          dir.write("e.json", "{}"), dir.write("f.tar", "x"), dir / "folder", dir.write("g.xyz", "x")});
    ASSERT_EQ(view->tabs().size(), 8u);
    auto* strip = view->findChild<TabStrip*>();
    ASSERT_NE(strip, nullptr);
    QScrollBar* sideways = strip->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0) << "the tabs are wider than the card";

    const auto turn = [strip](int notches) {
        const QPointF at(strip->viewport()->width() / 2.0, strip->viewport()->height() / 2.0);
        QWheelEvent wheel(at, strip->viewport()->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(strip->viewport(), &wheel);
    };
    turn(-1);
    const int afterDown = sideways->value();
    EXPECT_GT(afterDown, 0) << "turned down, the strip scrolls on";
    turn(1);
    EXPECT_LT(sideways->value(), afterDown) << "turned up, it scrolls back";
}
