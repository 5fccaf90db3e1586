#include "AI/FoundationModelsSummarizer.h"

namespace vantory {

const std::string FoundationModelsSummarizer::instructions =
    "You are a document summarizer. Summarize the provided text in a clear, well-structured format. Follow these rules "
    "strictly:\n"
    "\n"
    "1. Start with a one-sentence overview of what the document is about.\n"
    "2. Then organize the summary into 2-4 short sections with bold section headers.\n"
    "   Format each header on its own line like: **Key Findings**\n"
    "3. Under each section, write 1-3 concise sentences.\n"
    "4. Use blank lines between sections for readability.\n"
    "5. End with a brief \"Takeaway\" section with the single most important point.\n"
    "6. Do not include any preamble like \"Here is a summary\". Start directly with the overview.\n"
    "7. Keep the total length under 250 words.";

FoundationModelsSummarizer::FoundationModelsSummarizer(std::shared_ptr<LanguageModel> model) : model_(std::move(model))
{
}

bool FoundationModelsSummarizer::isModelAvailable() const
{
    return model_ && model_->isAvailable();
}

std::shared_ptr<SummaryStream> FoundationModelsSummarizer::stream(const std::string& text, QObject* receiver,
                                                                  SummaryStream::OnSnapshot onSnapshot,
                                                                  SummaryStream::OnEnd onEnd) const
{
    auto stream = std::make_shared<SummaryStream>(receiver, std::move(onSnapshot), std::move(onEnd));
    model_->makeSession(instructions)->streamResponse(text, stream->sink());
    return stream;
}

} // namespace vantory
