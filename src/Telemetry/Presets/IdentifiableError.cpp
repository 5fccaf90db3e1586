#include "Telemetry/Presets/IdentifiableError.h"

#include <utility>

namespace vantory {

AnyIdentifiableError::AnyIdentifiableError(std::string id, const std::exception& error)
    : id_(std::move(id)),
      description_(error.what())
{
}

AnyIdentifiableError withId(const std::exception& error, std::string id)
{
    return AnyIdentifiableError(std::move(id), error);
}

} // namespace vantory
