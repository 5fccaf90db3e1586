#pragma once

#include "Platform/LanguageModel.h"

namespace vantory {

// The language model this system ships: whatever the instructions ask, it answers with an
// extractive summary of the prompt (ExtractiveSummary), written on a worker thread a
// sentence per snapshot. Always available; it needs no network and no model file.
class ExtractiveLanguageModel final : public LanguageModel {
public:
    bool isAvailable() const override { return true; }
    std::shared_ptr<LanguageModelSession> makeSession(std::string instructions) const override;
};

} // namespace vantory
