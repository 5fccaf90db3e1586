#pragma once

#include <string>

namespace vantory {

// The shortest decimal text that reads back as `value`, always with a fraction or an
// exponent: 2.5 gives "2.5", 3 gives "3.0", 1080 gives "1080.0".
std::string shortestDecimalText(double value);

} // namespace vantory
