#include "Views/Components/ActionButton.h"
#include "Views/Components/CategoryTab.h"
#include "Views/Components/DisabledActionRow.h"
#include "Views/Components/ErrorShakeRule.h"
#include "Views/Icons.h"
#include "Views/Theme.h"
#include "support/Animations.h"
#include "support/ManualScheduler.h"
#include "support/WidgetPictures.h"

#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

using Offsets = std::vector<double>;
const Offsets shaken{10, -10, 8, -8, 4, 0};
const Offsets still{0, 0, 0, 0, 0, 0};

// The row's offset after each of the six shake steps of an error published just now.
Offsets offsetsOverShake(test::ManualScheduler& clock, const ActionRow& row)
{
    clock.advance(49ms);
    EXPECT_EQ(row.shakeOffset(), 0) << "the shake waits 0.05 s";
    clock.advance(1ms);
    Offsets offsets{row.shakeOffset()};
    for (int step = 1; step < 6; ++step) {
        clock.advance(50ms);
        offsets.push_back(row.shakeOffset());
    }
    return offsets;
}

QStringList labelTexts(const QWidget& widget)
{
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

struct ShakeRuleCase {
    const char* name;
    ErrorShakeRule::OnClear onClear;
    std::vector<std::optional<QString>> errors;
    std::vector<bool> shakes;
};

class ErrorShakeRuleTest : public ::testing::TestWithParam<ShakeRuleCase> { };

TEST_P(ErrorShakeRuleTest, ShakesOnlyForAnErrorItHasNotShakenFor)
{
    ErrorShakeRule rule(GetParam().onClear);
    std::vector<bool> shakes;
    for (const auto& error : GetParam().errors)
        shakes.push_back(rule.shouldShake(error));
    EXPECT_EQ(shakes, GetParam().shakes);
}

const auto forget = ErrorShakeRule::OnClear::forget;
const auto remember = ErrorShakeRule::OnClear::remember;
const QString failed = QStringLiteral("Conversion failed");
const QString other = QStringLiteral("Disk full");

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorShakeRuleTest,
    ::testing::Values(ShakeRuleCase{"FirstError", forget, {failed}, {true}},
                      ShakeRuleCase{"SameTwice", forget, {failed, failed}, {true, false}},
                      ShakeRuleCase{"ForgottenAfterClear", forget, {failed, std::nullopt, failed}, {true, false, true}},
                      ShakeRuleCase{"RememberedAcrossClear", remember, {failed, std::nullopt, failed}, {true, false, false}},
                      ShakeRuleCase{"DifferentAfterClear", remember, {failed, std::nullopt, other}, {true, false, true}},
                      ShakeRuleCase{"BackAndForth", remember, {failed, other, failed}, {true, true, true}},
                      ShakeRuleCase{"ClearShakesNothing", forget, {std::nullopt, std::nullopt}, {false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

class ActionButtonTest : public ::testing::Test {
protected:
    test::ManualScheduler clock;
    int taps = 0;
    ActionButton button{QStringLiteral("Compress"), "archivebox.fill", std::nullopt, [this] { ++taps; }, clock};
};

TEST_F(ActionButtonTest, AnErrorTakesTheTitlesPlaceAndShakesTheRowBackToRest)
{
    button.setErrorText(failed);
    EXPECT_EQ(button.title(), failed);
    EXPECT_EQ(button.accessibleName(), failed);
    EXPECT_EQ(offsetsOverShake(clock, button), shaken);

    button.setErrorText(std::nullopt);
    EXPECT_EQ(button.title(), QStringLiteral("Compress"));
    EXPECT_EQ(button.accessibleName(), QStringLiteral("Compress"));
}

TEST_F(ActionButtonTest, TheSameErrorShakesOnceButAgainAfterAClear)
{
    button.setErrorText(failed);
    offsetsOverShake(clock, button);
    button.setErrorText(failed);
    EXPECT_EQ(offsetsOverShake(clock, button), still);

    button.setErrorText(std::nullopt);
    button.setErrorText(failed);
    EXPECT_EQ(offsetsOverShake(clock, button), shaken);
}

TEST_F(ActionButtonTest, ARowBuiltWithAnErrorShakesOnce)
{
    ActionButton built(
        QStringLiteral("Compress"), "archivebox.fill", failed, [] {}, clock);
    EXPECT_EQ(built.title(), failed);
    EXPECT_EQ(offsetsOverShake(clock, built), shaken);
}

TEST_F(ActionButtonTest, AClickRunsTheActionOnlyWhileNoErrorShows)
{
    button.click();
    EXPECT_EQ(taps, 1);
    button.setErrorText(failed);
    button.click();
    EXPECT_EQ(taps, 1);
    button.setErrorText(std::nullopt);
    button.click();
    EXPECT_EQ(taps, 2);
}

TEST_F(ActionButtonTest, TheRowIsDrawnWhereTheShakeTakesIt)
{
    button.resize(288, button.heightForWidth(288));
    button.show();
    const QWidget* face = button.findChild<QLabel*>()->parentWidget();
    button.setErrorText(failed);
    clock.advance(50ms);
    test::finishAnimations(&button);
    EXPECT_EQ(button.drawnOffset(), 10);
    EXPECT_EQ(face->x(), 10);
    clock.advance(250ms);
    test::finishAnimations(&button);
    EXPECT_EQ(button.drawnOffset(), 0);
    EXPECT_EQ(face->x(), 0);
}

TEST_F(ActionButtonTest, ARowGoneBeforeOrDuringItsShakeLeavesNoStepBehind)
{
    auto waiting = std::make_unique<ActionButton>(
        QStringLiteral("Compress"), "archivebox.fill", std::nullopt, [] {}, clock);
    auto shaking = std::make_unique<ActionButton>(
        QStringLiteral("Resize"), "photo.fill", std::nullopt, [] {}, clock);
    waiting->setErrorText(failed);
    shaking->setErrorText(failed);
    clock.advance(20ms);
    waiting.reset();
    clock.advance(100ms);
    shaking.reset();
    clock.advance(1s);
    EXPECT_EQ(clock.pendingCount(), 0u);
}

TEST_F(ActionButtonTest, HoverDeepensTheBackgroundAndTurnsTheRowToTheAccent)
{
    const QColor restBackground = Theme::withOpacity(Theme::cream(), 0.6);
    EXPECT_EQ(button.backgroundColour(), restBackground);
    EXPECT_EQ(button.foregroundColour(), Theme::textPrimary());

    test::hover(button);
    test::finishAnimations(&button);
    EXPECT_EQ(button.backgroundColour().rgba(), Theme::cream().rgba());
    EXPECT_EQ(button.foregroundColour().rgba(), Theme::accent().rgba());
    const auto* title = button.findChildren<QLabel*>().at(1);
    EXPECT_EQ(title->palette().color(QPalette::WindowText).rgba(), Theme::accent().rgba());

    test::unhover(button);
    test::finishAnimations(&button);
    EXPECT_EQ(button.backgroundColour().rgba(), restBackground.rgba());
    EXPECT_EQ(button.foregroundColour().rgba(), Theme::textPrimary().rgba());
}

// Whether every channel in which `from` and `to` differ lies strictly between them in `colour`.
bool isStrictlyBetween(const QColor& colour, const QColor& from, const QColor& to)
{
    const auto between = [](int value, int a, int b) {
        return a == b ? value == a : value > std::min(a, b) && value < std::max(a, b);
    };
    return from.rgba() != to.rgba() && between(colour.red(), from.red(), to.red())
           && between(colour.green(), from.green(), to.green()) && between(colour.blue(), from.blue(), to.blue())
           && between(colour.alpha(), from.alpha(), to.alpha());
}

TEST_F(ActionButtonTest, HoverColoursChangeGraduallyNotAtOnce)
{
    const QColor restBackground = Theme::withOpacity(Theme::cream(), 0.6);
    const auto* title = button.findChildren<QLabel*>().at(1);
    test::hover(button);
    EXPECT_EQ(button.foregroundColour().rgba(), Theme::textPrimary().rgba()) << "no jump before the fade runs";

    test::advanceAnimations(&button, 75ms); // half of the 0.15 s fade
    const QColor foreground = button.foregroundColour();
    EXPECT_TRUE(isStrictlyBetween(foreground, Theme::textPrimary(), Theme::accent())) << foreground.name().toStdString();
    EXPECT_TRUE(isStrictlyBetween(button.backgroundColour(), restBackground, Theme::cream()))
        << button.backgroundColour().name(QColor::HexArgb).toStdString();
    EXPECT_EQ(title->palette().color(QPalette::WindowText).rgba(), foreground.rgba()) << "the title is drawn mid-fade too";

    test::unhover(button);
    EXPECT_EQ(button.foregroundColour().rgba(), foreground.rgba()) << "the way back starts where the fade stood";
    test::advanceAnimations(&button, 20ms);
    EXPECT_TRUE(isStrictlyBetween(button.foregroundColour(), Theme::textPrimary(), foreground));
}

TEST(DisabledActionRowTest, ShowsTheReasonUnderTheTitleOnlyWhenThereIsOne)
{
    DisabledActionRow withReason(QStringLiteral("Merge PDFs"), "doc.on.doc.fill", QStringLiteral("Single document only"));
    const auto labels = withReason.findChildren<QLabel*>();
    ASSERT_TRUE(labelTexts(withReason).contains(QStringLiteral("Single document only")));
    for (const QLabel* label : labels) {
        if (label->text() == QStringLiteral("Single document only")) {
            EXPECT_EQ(label->font().pixelSize(), 10);
        }
        EXPECT_EQ(label->palette().color(QPalette::WindowText), DisabledActionRow::foregroundColour());
    }

    DisabledActionRow withoutReason(QStringLiteral("Merge PDFs"), "doc.on.doc.fill", std::nullopt);
    EXPECT_EQ(labelTexts(withoutReason).size(), 2) << "the symbol and the title";
    EXPECT_TRUE(labelTexts(withoutReason).contains(QStringLiteral("Merge PDFs")));
}

CategoryGroup videos(int count)
{
    CategoryGroup group{FileCategory::video, {}, {}};
    for (int i = 0; i < count; ++i) {
        group.urls.emplace_back("/tmp/clip" + std::to_string(i) + ".mov");
        group.extensions.emplace_back("mov");
    }
    return group;
}

TEST(CategoryTabTest, ShowsTheSymbolAndTheCountInTheMonospacedFace)
{
    CategoryTab tab(videos(12), false, [] {});
    const auto labels = tab.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->text(), Icons::glyph(iconName(FileCategory::video)));
    EXPECT_EQ(labels[1]->text(), QStringLiteral("12"));
    EXPECT_EQ(labels[1]->font().family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_EQ(tab.accessibleName(), QStringLiteral("12 Videos"));
}

TEST(CategoryTabTest, ActiveIsWhiteOnTheAccentInactiveIsSecondaryOnCream)
{
    int taps = 0;
    CategoryTab tab(videos(3), true, [&] { ++taps; });
    const auto* count = tab.findChildren<QLabel*>().at(1);
    EXPECT_EQ(tab.backgroundColour(), Theme::accent());
    EXPECT_EQ(count->palette().color(QPalette::WindowText), QColor(Qt::white));

    tab.setActive(false);
    EXPECT_EQ(tab.backgroundColour(), Theme::cream());
    EXPECT_EQ(count->palette().color(QPalette::WindowText), Theme::textSecondary());

    tab.click();
    EXPECT_EQ(taps, 1);
}

// Pictures of the rows for a person to look at; the sampled pixels show the hover colours
// really reach the screen.
TEST(ActionRowsPictureTest, RowsAndTabsAsDrawn)
{
    test::ManualScheduler clock;
    QWidget card;
    card.setAutoFillBackground(true);
    card.setPalette(QPalette(Theme::surface()));
    auto* layout = new QVBoxLayout(&card);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    auto* rest = new ActionButton(
        QStringLiteral("Compress"), "archivebox.fill", std::nullopt, [] {}, clock);
    auto* hovered = new ActionButton(
        QStringLiteral("Convert to PDF"), "doc.fill", std::nullopt, [] {}, clock);
    auto* failing = new ActionButton(
        QStringLiteral("Resize"), "photo.fill", failed, [] {}, clock);
    layout->addWidget(rest);
    layout->addWidget(hovered);
    layout->addWidget(failing);
    layout->addWidget(
        new DisabledActionRow(QStringLiteral("Merge PDFs"), "doc.on.doc.fill", QStringLiteral("Single document only")));
    layout->addWidget(new DisabledActionRow(QStringLiteral("Extract Audio"), "music.note", std::nullopt));
    auto* tabs = new QHBoxLayout;
    tabs->setSpacing(6);
    tabs->addWidget(new CategoryTab(videos(12), true, [] {}));
    tabs->addWidget(new CategoryTab(videos(3), false, [] {}));
    tabs->addStretch();
    layout->addLayout(tabs);
    card.setFixedWidth(320);
    card.show();
    test::hover(*hovered);
    test::finishAnimations(&card);

    const QImage image = test::picture(card);
    test::keepScreen(image, QStringLiteral("action-rows"));
    const auto backgroundAt = [&](const QWidget* row) {
        return image.pixelColor(row->geometry().left() + 4, row->geometry().center().y());
    };
    EXPECT_EQ(backgroundAt(hovered).rgb(), Theme::cream().rgb());
    const QColor restOnWhite = backgroundAt(rest);
    EXPECT_NE(restOnWhite.rgb(), Theme::cream().rgb());
    EXPECT_GT(restOnWhite.lightness(), Theme::cream().lightness()) << "cream at 60 % over the white card";

    const QLabel* hoveredTitle = hovered->findChildren<QLabel*>().at(1);
    const QRect titleArea(hoveredTitle->mapTo(&card, QPoint(0, 0)), hoveredTitle->size());
    int accentPixels = 0;
    for (int y = titleArea.top(); y <= titleArea.bottom(); ++y)
        for (int x = titleArea.left(); x <= titleArea.right(); ++x)
            accentPixels += image.pixelColor(x, y).rgb() == Theme::accent().rgb();
    EXPECT_GT(accentPixels, 20) << "the hovered title is drawn in the accent colour";
}

} // namespace
