#include "Views/Components/ActionRow.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/Components/FormatPill.h"
#include "Views/Components/PillGrid.h"
#include "Views/Theme.h"
#include "support/Animations.h"
#include "support/ManualScheduler.h"
#include "support/WidgetPictures.h"

#include <QLabel>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

ConversionTarget target(const std::string& format, const std::string& label)
{
    return {"to_" + format, format, label};
}

FileAction imageConversion(std::vector<ConversionTarget> targets)
{
    return {"convert_image", "Convert Image", "photo.fill", std::move(targets), false, std::nullopt};
}

const std::vector<ConversionTarget> threeTargets{target("png", "PNG"), target("jpg", "JPG"), target("webp", "WebP")};
const std::vector<ConversionTarget> sevenTargets{target("png", "PNG"),   target("jpg", "JPG"),   target("webp", "WebP"),
                                                 target("heic", "HEIC"), target("tiff", "TIFF"), target("gif", "GIF"),
                                                 target("bmp", "BMP")};
const QString failed = QStringLiteral("Conversion failed");

struct ColumnsCase {
    int width;
    int columns;
};

class PillGridColumnsTest : public ::testing::TestWithParam<ColumnsCase> { };

TEST_P(PillGridColumnsTest, AsManyColumnsOfAtLeast56AsFitWith6Between)
{
    EXPECT_EQ(PillGrid::columns(GetParam().width), GetParam().columns) << "width " << GetParam().width;
}

INSTANTIATE_TEST_SUITE_P(Table, PillGridColumnsTest,
                         ::testing::Values(ColumnsCase{0, 1}, ColumnsCase{40, 1}, ColumnsCase{56, 1}, ColumnsCase{117, 1},
                                           ColumnsCase{118, 2}, ColumnsCase{179, 2}, ColumnsCase{180, 3}, ColumnsCase{241, 3},
                                           ColumnsCase{242, 4}, ColumnsCase{280, 4}, ColumnsCase{303, 4}, ColumnsCase{304, 5}));

TEST(PillGridTest, SevenTargetsInThe280WideCardFillRowsOfFourAndThree)
{
    PillGrid grid(sevenTargets, [](const std::string&) {});
    grid.resize(280 + 2 * PillGrid::sidePadding, grid.heightForWidth(288));
    grid.show();
    std::map<int, std::vector<const FormatPill*>> rows;
    for (const FormatPill* pill : grid.pills())
        rows[pill->y()].push_back(pill);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.begin()->second.size(), 4u);
    EXPECT_EQ(rows.rbegin()->second.size(), 3u);
    const auto& first = rows.begin()->second;
    EXPECT_EQ(first.front()->x(), PillGrid::sidePadding);
    EXPECT_EQ(first.back()->geometry().right() + 1, 288 - PillGrid::sidePadding);
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_NEAR(first[i]->width(), first[0]->width(), 1) << "equal columns";
        EXPECT_NEAR(first[i]->x() - first[i - 1]->geometry().right() - 1, PillGrid::spacing, 1);
    }
    const int rowGap = rows.rbegin()->first - (first[0]->geometry().bottom() + 1);
    EXPECT_EQ(rowGap, PillGrid::spacing);
    EXPECT_EQ(grid.height() - (rows.rbegin()->second[0]->geometry().bottom() + 1), PillGrid::bottomPadding);
}

class ConvertMenuTest : public ::testing::Test {
protected:
    test::ManualScheduler clock;
    std::vector<std::string> selected;
    ConvertMenuButton menu{imageConversion(threeTargets), std::nullopt,
                           [this](const std::string& format) { selected.push_back(format); }, clock};

    ActionRow& row() { return *menu.row(); }
    bool gridShown() const { return menu.grid()->isVisibleTo(&menu); }

    FormatPill* pill(const QString& label)
    {
        for (FormatPill* pill : menu.grid()->pills())
            if (pill->accessibleName() == label)
                return pill;
        return nullptr;
    }

    // Whether the row shook for an error published just now.
    bool shookAfterError()
    {
        std::vector<double> offsets;
        for (int step = 0; step < 6; ++step) {
            clock.advance(50ms);
            offsets.push_back(row().shakeOffset());
        }
        if (offsets == std::vector<double>{10, -10, 8, -8, 4, 0})
            return true;
        EXPECT_EQ(offsets, std::vector<double>(6, 0)) << "a shake that is neither whole nor absent";
        return false;
    }
};

TEST_F(ConvertMenuTest, ATapUnfoldsThePillsAndAPillSendsItsFormatLeavingTheMenuOpen)
{
    menu.resize(288, menu.sizeHint().height());
    menu.show();
    EXPECT_EQ(row().trailingSymbol(), "chevron.down");
    EXPECT_FALSE(gridShown());

    row().click();
    EXPECT_TRUE(menu.isExpanded());
    EXPECT_EQ(row().trailingSymbol(), "chevron.up");
    EXPECT_TRUE(gridShown());
    test::finishAnimations(&menu);
    ASSERT_EQ(menu.grid()->pills().size(), 3u);
    ASSERT_NE(pill(QStringLiteral("WebP")), nullptr);

    pill(QStringLiteral("WebP"))->click();
    EXPECT_EQ(selected, std::vector<std::string>{"webp"});
    EXPECT_TRUE(menu.isExpanded());
    EXPECT_TRUE(gridShown());
}

TEST_F(ConvertMenuTest, ASecondTapFoldsThePillsAway)
{
    menu.show();
    row().click();
    test::finishAnimations(&menu);
    row().click();
    EXPECT_FALSE(menu.isExpanded());
    EXPECT_EQ(row().trailingSymbol(), "chevron.down");
    test::finishAnimations(&menu);
    EXPECT_FALSE(gridShown());
}

TEST_F(ConvertMenuTest, ANewErrorFoldsTheOpenGridAtOnceAndShakesTheRow)
{
    menu.show();
    row().click();
    test::finishAnimations(&menu);

    menu.setErrorText(failed);
    EXPECT_FALSE(menu.isExpanded());
    EXPECT_FALSE(gridShown()) << "folded without waiting for an animation";
    EXPECT_EQ(row().trailingSymbol(), "chevron.down");
    EXPECT_EQ(row().title(), failed);
    EXPECT_EQ(row().accessibleName(), failed);
    EXPECT_TRUE(shookAfterError());
}

TEST_F(ConvertMenuTest, TapsDoNothingWhileAnErrorShows)
{
    menu.setErrorText(failed);
    row().click();
    EXPECT_FALSE(menu.isExpanded());
    EXPECT_FALSE(gridShown());

    menu.setErrorText(std::nullopt);
    EXPECT_EQ(row().title(), QStringLiteral("Convert Image"));
    row().click();
    EXPECT_TRUE(menu.isExpanded());
}

TEST_F(ConvertMenuTest, KeepsItsLastErrorAcrossAClear)
{
    menu.setErrorText(failed);
    EXPECT_TRUE(shookAfterError());
    menu.setErrorText(std::nullopt);
    menu.setErrorText(failed);
    EXPECT_FALSE(shookAfterError());
    menu.setErrorText(QStringLiteral("Disk full"));
    EXPECT_TRUE(shookAfterError());
}

TEST_F(ConvertMenuTest, AnErrorItHasShakenForLeavesTheOpenGridOpen)
{
    menu.setErrorText(failed);
    shookAfterError();
    menu.setErrorText(std::nullopt);
    row().click();
    menu.setErrorText(failed);
    EXPECT_TRUE(menu.isExpanded());
}

TEST(FormatPillTest, HoverTurnsThePillToWhiteOnTheAccent)
{
    FormatPill pill(target("png", "PNG"), [] {});
    const auto* label = pill.findChild<QLabel*>();
    EXPECT_EQ(pill.accessibleName(), QStringLiteral("PNG"));
    EXPECT_EQ(pill.backgroundColour().rgba(), Theme::cream().rgba());
    EXPECT_EQ(label->palette().color(QPalette::WindowText).rgba(), Theme::textPrimary().rgba());

    test::hover(pill);
    test::finishAnimations(&pill);
    EXPECT_EQ(pill.backgroundColour().rgba(), Theme::accent().rgba());
    EXPECT_EQ(label->palette().color(QPalette::WindowText).rgba(), QColor(Qt::white).rgba());

    test::unhover(pill);
    test::finishAnimations(&pill);
    EXPECT_EQ(pill.backgroundColour().rgba(), Theme::cream().rgba());
    EXPECT_EQ(label->palette().color(QPalette::WindowText).rgba(), Theme::textPrimary().rgba());
}

// A picture of an open menu for a person to look at; the sampled pixels show the hovered
// pill really is drawn in the accent colour.
TEST(ConvertMenuPictureTest, AnOpenMenuAsDrawn)
{
    test::ManualScheduler clock;
    QWidget card;
    card.setAutoFillBackground(true);
    card.setPalette(QPalette(Theme::surface()));
    auto* layout = new QVBoxLayout(&card);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    auto* open = new ConvertMenuButton(
        imageConversion(sevenTargets), std::nullopt, [](const std::string&) {}, clock);
    layout->addWidget(open);
    layout->addWidget(new ConvertMenuButton(
        imageConversion(threeTargets), std::nullopt, [](const std::string&) {}, clock));
    layout->addWidget(new ConvertMenuButton(
        imageConversion(threeTargets), failed, [](const std::string&) {}, clock));
    layout->addStretch();
    card.setFixedSize(320, 320);
    card.show();
    open->row()->click();
    FormatPill* webp = open->grid()->pills()[2];
    test::hover(*webp);
    test::finishAnimations(&card);
    clock.advance(1s);
    test::finishAnimations(&card);
    test::settleLayouts();

    const QImage image = test::picture(card);
    test::keepScreen(image, QStringLiteral("convert-menu"));
    const QPoint webpEdge = webp->mapTo(&card, QPoint(3, webp->height() / 2));
    EXPECT_EQ(image.pixelColor(webpEdge).rgb(), Theme::accent().rgb());
    const FormatPill* png = open->grid()->pills()[0];
    EXPECT_EQ(image.pixelColor(png->mapTo(&card, QPoint(3, png->height() / 2))).rgb(), Theme::cream().rgb());
}

} // namespace
