#include "Models/CategoryGroup.h"

namespace vantory {

std::string CategoryGroup::label() const
{
    return std::to_string(count()) + " " + pluralName(category);
}

} // namespace vantory
