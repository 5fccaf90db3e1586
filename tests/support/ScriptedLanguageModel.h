#pragma once

#include "Platform/LanguageModel.h"

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

namespace vantory::test {

// A language model whose responses the test writes, snapshot by snapshot.
class ScriptedLanguageModel final : public LanguageModel {
public:
    struct Session final : LanguageModelSession {
        std::string instructions;
        std::string prompt;
        ResponseSink sink;
        bool started = false;

        void streamResponse(std::string text, ResponseSink responseSink) override
        {
            prompt = std::move(text);
            sink = std::move(responseSink);
            started = true;
        }
        // Writes and lets what the reader was sent arrive.
        void snapshot(const std::string& text)
        {
            sink.snapshot(text);
            QCoreApplication::sendPostedEvents();
        }
        void end(std::optional<std::string> error = std::nullopt)
        {
            sink.end(std::move(error));
            QCoreApplication::sendPostedEvents();
        }
    };

    bool available = true;

    bool isAvailable() const override { return available; }
    std::shared_ptr<LanguageModelSession> makeSession(std::string instructions) const override
    {
        auto session = std::make_shared<Session>();
        session->instructions = std::move(instructions);
        sessions.push_back(session);
        return session;
    }

    Session& last() const { return *sessions.back(); }
    mutable std::vector<std::shared_ptr<Session>> sessions;
};

} // namespace vantory::test
