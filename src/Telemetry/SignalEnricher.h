#pragma once

#include "Telemetry/Helpers/ParameterMaps.h"

#include <optional>
#include <string>

namespace vantory {

// Adds parameters of its own to every signal record.
class SignalEnricher {
public:
    virtual ~SignalEnricher() = default;
    virtual SignalParameters enrich(const std::string& signalType, const std::optional<std::string>& customUserID,
                                    std::optional<double> floatValue) = 0;
};

} // namespace vantory
