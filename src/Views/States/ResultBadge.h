#pragma once

#include <QColor>
#include <QWidget>
#include <string>

namespace vantory {

// The round sign of a result card: a 64 px circle of the tint at 12 % with the symbol in
// the tint over it. It pops in by scale and opacity; the widget leaves room around the
// circle for the spring's overshoot.
class ResultBadge final : public QWidget {
    Q_OBJECT

public:
    static constexpr int diameter = 64;
    static constexpr int overshootRoom = 4;

    ResultBadge(const QColor& tint, const std::string& symbolName, int symbolPixelSize, QWidget* parent = nullptr);

    void setAppearance(double scale, double opacity);
    double scale() const { return scale_; }
    double opacity() const { return opacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor tint_;
    QString glyph_;
    QFont glyphFont_;
    double scale_ = 1;
    double opacity_ = 1;
};

} // namespace vantory
