#include "Views/Theme.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vantory::Theme {

QColor cream()
{
    return QColor::fromRgbF(0.96f, 0.94f, 0.92f);
}
QColor surface()
{
    return Qt::white;
}
QColor textPrimary()
{
    return QColor::fromRgbF(0.10f, 0.10f, 0.10f);
}
QColor textSecondary()
{
    return QColor::fromRgbF(0.50f, 0.48f, 0.45f);
}
QColor accent()
{
    return QColor::fromRgbF(0.15f, 0.42f, 0.36f);
}
QColor border()
{
    return QColor::fromRgbF(0, 0, 0, 0.06f);
}
QColor inputBg()
{
    return QColor::fromRgbF(0.93f, 0.91f, 0.89f);
}
QColor inputBorder()
{
    return QColor::fromRgbF(0, 0, 0, 0.12f);
}
QColor amber()
{
    return QColor::fromRgbF(0.85f, 0.65f, 0.15f);
}
QColor error()
{
    return QColor::fromRgbF(0.85f, 0.25f, 0.22f);
}

QColor withOpacity(QColor colour, double opacity)
{
    colour.setAlphaF(static_cast<float>(colour.alphaF() * opacity));
    return colour;
}

QColor blend(const QColor& from, const QColor& to, double t)
{
    const auto mix = [t](float a, float b) { return static_cast<float>(a + (b - a) * t); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()),
                            mix(from.alphaF(), to.alphaF()));
}

namespace {

// A separable box blur run three times: close enough to a Gaussian for a soft shadow.
void boxBlurAlpha(QImage& image, int radius)
{
    if (radius < 1)
        return;
    const int w = image.width();
    const int h = image.height();
    std::vector<int> line(static_cast<std::size_t>(std::max(w, h)));
    const auto pass = [&](bool horizontal) {
        const int outer = horizontal ? h : w;
        const int inner = horizontal ? w : h;
        for (int o = 0; o < outer; ++o) {
            const auto alphaAt = [&](int i) -> uchar& {
                const int x = horizontal ? i : o;
                const int y = horizontal ? o : i;
                return image.scanLine(y)[x * 4 + 3];
            };
            for (int i = 0; i < inner; ++i)
                line[static_cast<std::size_t>(i)] = alphaAt(i);
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += line[static_cast<std::size_t>(std::clamp(i, 0, inner - 1))];
            for (int i = 0; i < inner; ++i) {
                alphaAt(i) = static_cast<uchar>(sum / (2 * radius + 1));
                sum += line[static_cast<std::size_t>(std::min(i + radius + 1, inner - 1))];
                sum -= line[static_cast<std::size_t>(std::max(i - radius, 0))];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(true);
        pass(false);
    }
}

QImage renderShadow(const QSize& shapeSize, double cornerRadius)
{
    const int m = CardShadow::margin;
    QImage image(shapeSize + QSize(2 * m, 2 * m), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(QPointF(m, m), QSizeF(shapeSize)), cornerRadius, cornerRadius);
        painter.fillPath(shape, QColor::fromRgbF(0, 0, 0, static_cast<float>(CardShadow::opacity)));
    }
    // Three box passes of radius r blur like a Gaussian of about r standard deviations;
    // the shadow radius is read as twice the standard deviation.
    boxBlurAlpha(image, static_cast<int>(std::lround(CardShadow::radius / 2)));
    // Keep the colour black: the blur moved only the alpha of premultiplied pixels.
    for (int y = 0; y < image.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixel[x] = qRgba(0, 0, 0, qAlpha(pixel[x]));
    }
    return image;
}

} // namespace

void CardShadow::paint(QPainter& painter, const QRectF& shape, double cornerRadius)
{
    static QHash<QString, QImage> cache;
    const QSize size = shape.size().toSize();
    const QString key = QStringLiteral("%1x%2r%3").arg(size.width()).arg(size.height()).arg(cornerRadius);
    auto found = cache.find(key);
    if (found == cache.end())
        found = cache.insert(key, renderShadow(size, cornerRadius));
    painter.drawImage(shape.topLeft() + QPointF(-margin, -margin + offsetY), *found);
}

void paintCardChassis(QPainter& painter, const QRectF& card)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    CardShadow::paint(painter, card, cardCornerRadius);
    QPainterPath shape;
    shape.addRoundedRect(card, cardCornerRadius, cardCornerRadius);
    painter.fillPath(shape, surface());
    // Stroked inside its border: half a line in from the edge.
    QPainterPath inner;
    inner.addRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), cardCornerRadius - 0.5, cardCornerRadius - 0.5);
    painter.setPen(QPen(border(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(inner);
    painter.restore();
}

} // namespace vantory::Theme
