#pragma once

#include <QWidget>

class QVariantAnimation;

namespace vantory {

// What the action card's body becomes while more files are dragged over it: a marching
// dashed outline around "Drop to Add More".
class AppendZone final : public QWidget {
    Q_OBJECT

public:
    static constexpr int zoneHeight = 180;
    static constexpr int padding = 16;

    explicit AppendZone(QWidget* parent = nullptr);

    double dashPhase() const { return dashPhase_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF zone() const;

    QVariantAnimation* dashMarch_;
    double dashPhase_ = 0;
};

} // namespace vantory
