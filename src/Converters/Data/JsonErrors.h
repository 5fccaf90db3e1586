#pragma once

#include "Platform/PlatformError.h"

namespace vantory::data {

// Deeper documents are refused: writing and converting them recurses once per level.
inline constexpr int maxJsonDepth = 1000;

inline PlatformError malformedJsonError()
{
    return PlatformError("The data couldn\u2019t be read because it isn\u2019t in the correct format.");
}

inline PlatformError jsonTooDeepError()
{
    return PlatformError("The data couldn\u2019t be read because it is nested too deeply.");
}

} // namespace vantory::data
