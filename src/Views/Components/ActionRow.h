#pragma once

#include "Views/Components/PlainButton.h"
#include <string>

class QHBoxLayout;
class QLabel;
class QVariantAnimation;

namespace vantory {

class HoverFade;
class SymbolLabel;

// The look every row of the action card shares: the action's symbol, its title and a
// trailing symbol on a rounded cream background that deepens, with the symbol and title
// turning to the accent colour, while the pointer is over it. The row can be pushed
// sideways (the shake of a row whose action failed); it is named by its title.
class ActionRow : public PlainButton {
    Q_OBJECT

public:
    ActionRow(const std::string& icon, const QString& title, const std::string& trailingSymbol, QWidget* parent = nullptr);

    // The trailing symbol of a row that unfolds a section below it.
    static std::string foldChevron(bool expanded);

    void setTitle(const QString& title);
    QString title() const;
    void setSymbol(const std::string& icon);
    void setTrailingSymbol(const std::string& symbol);
    std::string trailingSymbol() const { return trailingSymbol_; }

    bool isHovered() const;
    // The colours the row is drawn with at this moment of its hover fade.
    QColor backgroundColour() const;
    QColor foregroundColour() const;

    // Moves the row sideways to `offset`, easing in and out over a shake step.
    void setShakeOffset(double offset);
    // Where the row is headed, and where it is drawn now.
    double shakeOffset() const { return shakeOffset_; }
    double drawnOffset() const { return drawnOffset_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyHoverColours();
    void placeFace();

    std::string trailingSymbol_;
    double shakeOffset_ = 0;
    double drawnOffset_ = 0;
    QWidget* face_;
    QHBoxLayout* faceLayout_;
    SymbolLabel* icon_;
    QLabel* title_;
    SymbolLabel* trailing_;
    HoverFade* hover_;
    QVariantAnimation* offsetAnimation_;
};

} // namespace vantory
