#pragma once

#include "Views/States/StateCard.h"

#include <functional>

class QLabel;
class QVariantAnimation;

namespace vantory {

class ArcRing;
class TextButton;

// The card of a running conversion: a ring with the whole percentage and "Converting 1 of
// 3…" when the run has more than one file, otherwise a spinning arc and "Processing…";
// a Cancel button under it. The same card follows the run's progress.
class ConvertingView final : public StateCard {
    Q_OBJECT

public:
    ConvertingView(int current, int total, std::function<void()> onCancel, QWidget* parent = nullptr);

    void setProgress(int current, int total);

    // The parts a test reads.
    ArcRing* ring() const { return ring_; }
    QLabel* percentLabel() const { return percentLabel_; }
    QLabel* countLabel() const { return countLabel_; }
    TextButton* cancelButton() const { return cancelButton_; }
    bool isSpinning() const;

private:
    void showDeterminate(int current, int total);
    void showIndeterminate();
    void moveArcTo(double fraction);
    void startSpinning();
    void stopSpinning();

    std::function<void()> onCancel_;
    ArcRing* ring_;
    QLabel* percentLabel_;
    QLabel* countLabel_;
    TextButton* cancelButton_;
    QVariantAnimation* arcMove_ = nullptr;
    QVariantAnimation* spin_ = nullptr;
    bool determinate_ = false;
};

} // namespace vantory
