#pragma once

#include "Models/FileAction.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace vantory {

class FormatPill;

// The format pills of a convert menu in as many equal columns as fit, row after row in the
// targets' order. Its contents margins are the padding around the pills.
class PillGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumCellWidth = 56;
    static constexpr int spacing = 6;
    static constexpr int sidePadding = 4;
    static constexpr int bottomPadding = 4;

    // How many columns of at least the minimum cell width fit side by side in `width`.
    static int columns(int width);

    PillGrid(const std::vector<ConversionTarget>& targets, std::function<void(const std::string& format)> onSelectFormat,
             QWidget* parent = nullptr);

    const std::vector<FormatPill*>& pills() const { return pills_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int rowHeight() const;
    int rowCount(int contentWidth) const;
    void placePills();

    std::vector<FormatPill*> pills_;
};

} // namespace vantory
