#pragma once

#include <QColor>
#include <QLabel>
#include <QTextLayout>

namespace vantory {

// The partial-success summary on a tinted capsule. The text wraps at word boundaries, and
// inside a word too long for a line, so it never grows wider than the card; when even the
// card's height is too little, the last line that fits ends in "…". text() is the summary
// verbatim.
class SummaryCapsule final : public QLabel {
    Q_OBJECT

public:
    SummaryCapsule(const QString& summary, const QColor& tint, QWidget* parent = nullptr);

    void setOpacity(double opacity);
    // The capsule drawn, in this widget's coordinates.
    QRectF capsuleRect() const;

    // Tall enough for every line at the card's width; the card's layout gives it less when
    // the card is too short for them.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int horizontalPadding = 14;
    static constexpr int verticalPadding = 6;

    int textWidthFor(int widgetWidth) const;
    std::unique_ptr<QTextLayout> layOut(int textWidth) const;
    // The lines at the widget's width, as many as fit, and the capsule around them.
    struct Shown {
        std::unique_ptr<QTextLayout> lines;
        int fullLines; // drawn as laid out
        QString cutLine; // the last line, ending in "…", when not every line fits
        QRectF capsule;
    };
    Shown shown() const;
    int linesThatFit(const QTextLayout& lines) const;
    double singleLineHeight() const;

    QColor tint_;
    double opacity_ = 1;
};

} // namespace vantory
