#include "Platform/ExtractiveLanguageModel.h"

#include "Platform/Background.h"
#include "Platform/ExtractiveSummary.h"

namespace vantory {

namespace {

class ExtractiveSession final : public LanguageModelSession, public std::enable_shared_from_this<ExtractiveSession> {
public:
    void streamResponse(std::string prompt, ResponseSink sink) override
    {
        runInBackground([self = shared_from_this(), prompt = std::move(prompt), sink = std::move(sink)] {
            std::string written;
            for (const auto& piece : ExtractiveSummary::write(prompt)) {
                written += piece;
                sink.snapshot(written);
            }
            sink.end(std::nullopt);
        });
    }
};

} // namespace

std::shared_ptr<LanguageModelSession> ExtractiveLanguageModel::makeSession(std::string) const
{
    return std::make_shared<ExtractiveSession>();
}

} // namespace vantory
