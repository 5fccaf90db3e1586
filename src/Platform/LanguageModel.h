#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantory {

// Where a response goes while it is written. Both may be called on any thread: every
// `snapshot` holds the whole response so far, in order, then `end` comes once, with the
// model's message when the response failed.
struct ResponseSink {
    std::function<void(std::string snapshot)> snapshot;
    std::function<void(std::optional<std::string> error)> end;
};

// One conversation with a language model under fixed instructions.
class LanguageModelSession {
public:
    virtual ~LanguageModelSession() = default;
    // Returns at once; the response is written into `sink`. The session keeps itself
    // alive until the response ends.
    virtual void streamResponse(std::string prompt, ResponseSink sink) = 0;
};

// An on-device language model. This system has no generative model to run, so the default
// one is extractive: it writes its summary from the prompt's own sentences.
class LanguageModel {
public:
    virtual ~LanguageModel() = default;
    virtual bool isAvailable() const = 0;
    virtual std::shared_ptr<LanguageModelSession> makeSession(std::string instructions) const = 0;

    static std::shared_ptr<LanguageModel> systemDefault();
};

} // namespace vantory
