#pragma once

#include "Models/CategoryGroup.h"

#include "Views/Components/PlainButton.h"
#include <functional>

class QLabel;

namespace vantory {

class SymbolLabel;

// The chip of one file category in the action card's tab strip: the category's symbol and
// how many files it holds, white on the accent colour while it is the active tab. It shows
// no name; for assistive tools it is named like "12 Videos".
class CategoryTab : public PlainButton {
    Q_OBJECT

public:
    CategoryTab(const CategoryGroup& group, bool isActive, std::function<void()> onTap, QWidget* parent = nullptr);

    void setActive(bool active);
    bool isActive() const { return active_; }
    QColor backgroundColour() const;
    QColor foregroundColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool active_;
    QWidget* face_;
    SymbolLabel* icon_;
    QLabel* count_;
};

} // namespace vantory
