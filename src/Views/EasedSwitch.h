#pragma once

#include <QEasingCurve>
#include <QObject>
#include <chrono>
#include <functional>

class QVariantAnimation;

namespace vantory {

// A look that is either on or off and eases between the two: its progress runs from 0 (off)
// to 1 (on) over `duration` along `curve`, from wherever it is when switched. `onChange` redraws
// at each step.
class EasedSwitch : public QObject {
    Q_OBJECT

public:
    EasedSwitch(std::chrono::milliseconds duration, const QEasingCurve& curve, std::function<void()> onChange, QObject* parent);

    void setOn(bool on);
    bool isOn() const { return on_; }
    double progress() const { return progress_; }

Q_SIGNALS:
    // The progress reached 0 or 1.
    void settled();

private:
    bool on_ = false;
    double progress_ = 0;
    QVariantAnimation* animation_;
    std::function<void()> onChange_;
};

} // namespace vantory
