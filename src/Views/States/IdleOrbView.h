#pragma once

#include <QImage>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace vantory {

// The 72 px orb that is the whole widget while nothing happens. It grows in when it first
// shows and a little under the pointer. The content view shrinks and fades it outside idle
// through setPresence().
class IdleOrbView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int orbSide = 72;
    static constexpr double hoverScale = 1.06;

    explicit IdleOrbView(QWidget* parent = nullptr);

    // The circle, in this widget's coordinates.
    QRect orbRect() const;

    // Scale and opacity given by the view around the orb.
    void setPresence(double scale, double opacity);
    // What is drawn now, all effects together.
    double drawnScale() const;
    double drawnOpacity() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void hoverTo(double scale);

    QImage art_;
    QPointer<QVariantAnimation> hover_;
    double presenceScale_ = 1;
    double presenceOpacity_ = 1;
    double hoverScale_ = 1;
    // 0 before the appear spring, 1 once it has run.
    double appeared_ = 0;
    bool hasAppeared_ = false;
};

} // namespace vantory
