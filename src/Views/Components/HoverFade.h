#pragma once

#include <QColor>
#include <QObject>
#include <chrono>
#include <functional>

class QVariantAnimation;

namespace vantory {

// How far a control has turned towards its hovered look: 0 at rest, 1 under the pointer.
// A change of hover eases out over `duration`; `onChange` redraws the control each step.
class HoverFade : public QObject {
    Q_OBJECT

public:
    HoverFade(std::chrono::milliseconds duration, std::function<void()> onChange, QObject* parent);

    void setHovered(bool hovered);
    bool isHovered() const { return hovered_; }
    double progress() const { return progress_; }

    // `rest` turned `progress()` of the way towards `hovered`, alpha included.
    QColor blend(const QColor& rest, const QColor& hovered) const;

private:
    bool hovered_ = false;
    double progress_ = 0;
    QVariantAnimation* animation_;
    std::function<void()> onChange_;
};

} // namespace vantory
