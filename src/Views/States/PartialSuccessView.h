#pragma once

#include "Views/States/ResultCard.h"

namespace vantory {

class SummaryCapsule;

// The card of a run where some files failed: an amber warning sign that pops in,
// "Partially Completed", and the run's summary, verbatim, on an amber capsule.
class PartialSuccessView final : public ResultCard {
    Q_OBJECT

public:
    explicit PartialSuccessView(const QString& summary, QWidget* parent = nullptr);

    SummaryCapsule* summaryCapsule() const { return summary_; }

protected:
    void appear(double progress) override;

private:
    SummaryCapsule* summary_;
};

} // namespace vantory
