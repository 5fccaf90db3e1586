#include "App/TrayIconArt.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

QPalette theme(const QColor& text, const QColor& window)
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, window);
    return palette;
}

struct InkCase {
    const char* name;
    QColor tray;
    QColor themeText;
    QColor themeWindow;
    QColor ink;
};

void PrintTo(const InkCase& c, std::ostream* os)
{
    *os << c.name;
}

class TrayInkTest : public ::testing::TestWithParam<InkCase> { };

} // namespace

TEST_P(TrayInkTest, StandsOutFromTheTray)
{
    const InkCase& c = GetParam();
    EXPECT_EQ(inkFor(c.tray, theme(c.themeText, c.themeWindow)).name(), c.ink.name());
}

const QColor lightThemeText(0x10, 0x10, 0x10);
const QColor lightThemeWindow(0xef, 0xef, 0xef);
const QColor darkThemeText(0xf0, 0xf0, 0xf0);
const QColor darkThemeWindow(0x30, 0x30, 0x30);
const QColor grey(0x80, 0x80, 0x80);

INSTANTIATE_TEST_SUITE_P(
    Trays, TrayInkTest,
    ::testing::Values(
        InkCase{"LightThemeOnALightTray", QColor(0xe8, 0xe8, 0xe8), lightThemeText, lightThemeWindow, lightThemeText},
        InkCase{"LightThemeOnADarkTray", QColor(0x40, 0x40, 0x40), lightThemeText, lightThemeWindow, lightThemeWindow},
        InkCase{"DarkThemeOnADarkTray", QColor(0x20, 0x20, 0x28), darkThemeText, darkThemeWindow, darkThemeText},
        InkCase{"DarkThemeOnALightTray", QColor(0xf6, 0xf5, 0xf4), darkThemeText, darkThemeWindow, darkThemeWindow},
        InkCase{"GreyThemeOnADarkTray", QColor(0x50, 0x50, 0x50), grey, grey.lighter(110), Qt::white},
        InkCase{"GreyThemeOnALightTray", QColor(0xd0, 0xd0, 0xd0), grey, grey.lighter(110), Qt::black}),
    [](const ::testing::TestParamInfo<InkCase>& info) { return info.param.name; });

TEST(TrayEdgeTest, IsTheTrayBehindTheArrowsEvenWhereTheyComeClose)
{
    QImage picture(22, 22, QImage::Format_RGB32);
    picture.fill(QColor(0x3f, 0x3f, 0x3f));
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(4, 4, 14, 14), Qt::black);
    }
    // An arrowhead's antialiased tip on the edge.
    picture.setPixelColor(0, 5, QColor(0xe0, 0xe0, 0xe0));
    picture.setPixelColor(1, 0, QColor(0xe0, 0xe0, 0xe0));
    EXPECT_EQ(edgeColour(picture), QColor(0x3f, 0x3f, 0x3f));
}

TEST(TrayIconTest, APictureOfTheIconIsInTheThemesTextColour)
{
    // A tray that asks for a picture shows it on a background the icon cannot see.
    const QImage picture = trayIcon().pixmap(32, 32).toImage();
    const QColor text = QPalette().color(QPalette::WindowText);
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.alpha() == 255) {
                ++inked;
                EXPECT_EQ(pixel.rgb(), text.rgb());
            }
        }
    EXPECT_GT(inked, 20);
}
