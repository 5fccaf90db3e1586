#pragma once

#include "Platform/LanguageModel.h"

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace vantory {

// The reading end of a summary being written. Each snapshot (the whole summary so far)
// and then the end reach the reader on the receiver's thread, in order, until the reader
// stops reading; the writing goes on regardless and what it writes later is dropped.
// The reader stops reading before its receiver is destroyed.
class SummaryStream final {
public:
    using OnSnapshot = std::function<void(const std::string& summarySoFar)>;
    using OnEnd = std::function<void(const std::optional<std::string>& error)>;

    SummaryStream(QObject* receiver, OnSnapshot onSnapshot, OnEnd onEnd);

    void stopReading();
    // The writer's side; any thread may write into it.
    ResponseSink sink();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace vantory
