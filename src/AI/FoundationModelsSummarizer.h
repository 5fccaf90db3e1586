#pragma once

#include "AI/SummaryStream.h"
#include "Platform/LanguageModel.h"

#include <memory>
#include <string>

namespace vantory {

// Turns a document's text into a short structured summary with the on-device language
// model, delivered as a stream of growing texts. It sets no limit on the text: the caller
// cuts it first.
class FoundationModelsSummarizer {
public:
    // What the model is told before it reads the text.
    static const std::string instructions;

    explicit FoundationModelsSummarizer(std::shared_ptr<LanguageModel> model = LanguageModel::systemDefault());

    bool isModelAvailable() const;

    // Starts a session under `instructions` with the text itself as the prompt and returns
    // at once. Asks nothing of the model's availability: the caller has.
    std::shared_ptr<SummaryStream> stream(const std::string& text, QObject* receiver, SummaryStream::OnSnapshot onSnapshot,
                                          SummaryStream::OnEnd onEnd) const;

private:
    std::shared_ptr<LanguageModel> model_;
};

} // namespace vantory
