#pragma once

#include <stop_token>

namespace vantory {

// Thrown by an operation that stopped because its batch was cancelled. Deliberately not
// a std::exception: no handler that turns failures into messages may take it for one.
// The router reports it as a cancellation, never as a failure.
struct ConversionCancelled { };

inline void throwIfStopped(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw ConversionCancelled{};
}

} // namespace vantory
