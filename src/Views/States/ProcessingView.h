#pragma once

#include "Views/States/StateCard.h"

class QVariantAnimation;

namespace vantory {

// The card shown while a drop is read and sorted: a turning arc over "Reading file…".
class ProcessingView final : public StateCard {
    Q_OBJECT

public:
    explicit ProcessingView(QWidget* parent = nullptr);

    double rotation() const;

private:
    class Spinner;
    Spinner* spinner_;
};

} // namespace vantory
