#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QWidget>

namespace vantory::test {

inline void hover(QWidget& widget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&widget, &event);
}

inline void unhover(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

// Lays out again whatever changed size, from the inside out: each layout that settles asks
// its parent's to settle in turn, in a later round of posted events.
inline void settleLayouts()
{
    for (int round = 0; round < 8; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// The widget as drawn, at one device pixel per logical pixel.
inline QImage picture(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Keeps a picture under the build folder's screens/ for a person to look at; the test
// binary lives in the build folder's tests/.
inline void keepScreen(const QImage& image, const QString& name)
{
    QDir screens(QCoreApplication::applicationDirPath() + QStringLiteral("/../screens"));
    screens.mkpath(QStringLiteral("."));
    image.save(screens.filePath(name + QStringLiteral(".png")));
}

} // namespace vantory::test
