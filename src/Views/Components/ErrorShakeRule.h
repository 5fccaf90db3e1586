#pragma once

#include <QString>
#include <optional>

namespace vantory {

// Decides whether a row's newly published error should shake the row: an error shakes once,
// and the same text published again does not shake it again.
class ErrorShakeRule {
public:
    // Whether a cleared error (nil) lets the same text shake again when it comes back.
    enum class OnClear { forget, remember };

    explicit ErrorShakeRule(OnClear onClear) : onClear_(onClear) { }

    // Takes the row's new error; true when it should shake.
    bool shouldShake(const std::optional<QString>& error);

private:
    OnClear onClear_;
    std::optional<QString> lastShaken_;
};

} // namespace vantory
