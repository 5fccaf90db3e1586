#pragma once

#include "Views/States/ResultCard.h"

namespace vantory {

// The card of a run that converted everything: a checkmark that pops in, and "Done".
class CompletedView final : public ResultCard {
    Q_OBJECT

public:
    explicit CompletedView(QWidget* parent = nullptr);
};

} // namespace vantory
