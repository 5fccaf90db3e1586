#include "App/TrayIconArt.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vantory {

namespace {

// Enough for a line drawing to be made out: the contrast asked of graphics.
constexpr double legibleContrast = 3;

double relativeLuminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// One arrow: an arc of the circle and a head at its end, in a 16-unit square.
void drawArrow(QPainter& painter, double startAngle)
{
    const QRectF circle(2.5, 2.5, 11, 11);
    constexpr double sweep = 140;
    QPainterPath arc;
    arc.arcMoveTo(circle, startAngle);
    arc.arcTo(circle, startAngle, sweep);
    painter.drawPath(arc);

    const QPointF tip = arc.currentPosition();
    const double angle = arc.angleAtPercent(1.0);
    painter.save();
    painter.translate(tip);
    painter.rotate(-angle);
    painter.drawPolyline(QPolygonF({QPointF(-3, -2.5), QPointF(0, 0), QPointF(-3, 2.5)}));
    painter.restore();
}

void drawArrows(QPainter& painter, const QRectF& square, const QColor& ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(square.topLeft());
    painter.scale(square.width() / 16.0, square.height() / 16.0);
    painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawArrow(painter, 20);
    drawArrow(painter, 200);
    painter.restore();
}

// What the screen shows where `painter`, painting a widget, is about to draw `rect`.
std::optional<QColor> screenBehind(const QPainter& painter, const QRect& rect)
{
    if (painter.device()->devType() != QInternal::Widget)
        return std::nullopt;
    const auto* widget = static_cast<const QWidget*>(painter.device());
    QScreen* screen = widget->screen();
    if (!screen)
        return std::nullopt;
    const QPoint onScreen = widget->mapToGlobal(rect.topLeft()) - screen->geometry().topLeft();
    const QImage shot = screen->grabWindow(0, onScreen.x(), onScreen.y(), rect.width(), rect.height()).toImage();
    if (shot.isNull() || shot.size() != rect.size())
        return std::nullopt;
    return edgeColour(shot);
}

class TrayIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        const QPalette theme = QGuiApplication::palette();
        const std::optional<QColor> behind = screenBehind(*painter, rect);
        drawArrows(*painter, rect, behind ? inkFor(*behind, theme) : theme.color(QPalette::WindowText));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new TrayIconEngine; }
};

} // namespace

QIcon trayIcon()
{
    return QIcon(new TrayIconEngine);
}

QColor inkFor(const QColor& background, const QPalette& theme)
{
    for (const QColor& candidate : {theme.color(QPalette::WindowText), theme.color(QPalette::Window)})
        if (contrast(candidate, background) >= legibleContrast)
            return candidate;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrast(black, background) >= contrast(white, background) ? black : white;
}

QColor edgeColour(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<int> reds, greens, blues;
    const auto take = [&](int x, int y) {
        const QRgb pixel = rgb.pixel(x, y);
        reds.push_back(qRed(pixel));
        greens.push_back(qGreen(pixel));
        blues.push_back(qBlue(pixel));
    };
    for (int x = 0; x < rgb.width(); ++x) {
        take(x, 0);
        take(x, rgb.height() - 1);
    }
    for (int y = 1; y + 1 < rgb.height(); ++y) {
        take(0, y);
        take(rgb.width() - 1, y);
    }
    const auto middle = [](std::vector<int>& values) {
        std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
        return values[values.size() / 2];
    };
    if (reds.empty())
        return {};
    return QColor(middle(reds), middle(greens), middle(blues));
}

} // namespace vantory
