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

    // Tall enough for every line at the card's width; a single line at the least.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int horizontalPadding = 14;
    static constexpr int verticalPadding = 6;

    int textWidthFor(int widgetWidth) const;
    std::unique_ptr<QTextLayout> layOut(int textWidth) const;
    QRectF capsuleAround(const QTextLayout& lines, int visibleLines) const;
    int linesThatFit(const QTextLayout& lines) const;

    QColor tint_;
    double opacity_ = 1;
};

} // namespace vantory
