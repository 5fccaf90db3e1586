#include "Views/Components/ErrorShakeRule.h"

namespace vantory {

bool ErrorShakeRule::shouldShake(const std::optional<QString>& error)
{
    if (!error) {
        if (onClear_ == OnClear::forget)
            lastShaken_.reset();
        return false;
    }
    if (error == lastShaken_)
        return false;
    lastShaken_ = error;
    return true;
}

} // namespace vantory
