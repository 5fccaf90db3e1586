#pragma once

#include "Views/States/StateCard.h"

#include <optional>

class QLabel;
class QVariantAnimation;

namespace vantory {

// The card shown while files are dragged over the panel: a marching dashed outline, the
// drop arrow and "Drop File". An unusable drop's message takes the place of the hint.
class DropZoneView final : public StateCard {
    Q_OBJECT

public:
    explicit DropZoneView(QWidget* parent = nullptr);

    void setInlineError(const std::optional<QString>& error);
    // The hint line: "Release to continue" or the error in its place.
    QString hint() const;
    double dashPhase() const { return dashPhase_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* hint_;
    QVariantAnimation* dashMarch_;
    double dashPhase_ = 0;
};

} // namespace vantory
