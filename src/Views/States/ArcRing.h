#pragma once

#include <QWidget>

namespace vantory {

// A 56 px circle drawn as a cream track with an accent arc over it: the progress ring and
// the spinner of the converting card. The line is centred on the circle, so the widget
// reaches past the circle by half a line on every side.
class ArcRing final : public QWidget {
    Q_OBJECT

public:
    static constexpr int diameter = 56;
    static constexpr int lineWidth = 4;
    static constexpr int overhang = lineWidth / 2;

    explicit ArcRing(QWidget* parent = nullptr);

    // The arc starts `startTurns` clockwise from the top and runs for `lengthTurns` of a turn
    // (clipped to a whole circle; nothing is drawn for 0 or less).
    void setArc(double startTurns, double lengthTurns);
    double arcStart() const { return start_; }
    double arcLength() const { return length_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double start_ = 0;
    double length_ = 0;
};

} // namespace vantory
