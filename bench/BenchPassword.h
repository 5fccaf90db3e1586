#pragma once

#include <cstdlib>
#include <string>

namespace vantory::bench {

// The password of the commands that take one: $PASSWORD.
inline std::string password()
{
    const char* value = std::getenv("PASSWORD");
    return value ? value : "";
}

} // namespace vantory::bench
