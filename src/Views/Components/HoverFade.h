#pragma once

#include "Views/EasedSwitch.h"

#include <QColor>

namespace vantory {

// How far a control has turned towards its hovered look: 0 at rest, 1 under the pointer.
// A change of hover eases out over `duration`; `onChange` redraws the control each step.
class HoverFade : public EasedSwitch {
    Q_OBJECT

public:
    HoverFade(std::chrono::milliseconds duration, std::function<void()> onChange, QObject* parent);

    void setHovered(bool hovered) { setOn(hovered); }
    bool isHovered() const { return isOn(); }

    // `rest` turned `progress()` of the way towards `hovered`, alpha included.
    QColor blend(const QColor& rest, const QColor& hovered) const;
};

} // namespace vantory
