#pragma once

#include "Models/FileAction.h"

#include "Views/Components/PlainButton.h"
#include <functional>

class QLabel;

namespace vantory {

class HoverFade;

// One output format under a convert menu, a small chip with the format's label that turns
// to the accent colour under the pointer. Named by its label.
class FormatPill : public PlainButton {
    Q_OBJECT

public:
    FormatPill(const ConversionTarget& target, std::function<void()> onTap, QWidget* parent = nullptr);

    const ConversionTarget& target() const { return target_; }
    bool isHovered() const;
    // The colours the pill is drawn with at this moment of its hover fade.
    QColor backgroundColour() const;
    QColor textColour() const;

    QSize sizeHint() const override;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyHoverColours();

    ConversionTarget target_;
    QLabel* label_;
    HoverFade* hover_;
};

} // namespace vantory
