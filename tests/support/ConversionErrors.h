#pragma once

#include "Converters/ConversionError.h"

#include <gtest/gtest.h>
#include <ostream>

namespace vantory {

// What a failing expectation shows of a ConversionError.
inline void PrintTo(const ConversionError& error, std::ostream* out)
{
    *out << error.debugDescription();
}

} // namespace vantory

namespace vantory::test {

// The ConversionError that operation throws; a failure of the test when it throws none.
template <typename Operation>
ConversionError conversionErrorOf(Operation operation)
{
    try {
        operation();
    } catch (const ConversionError& error) {
        return error;
    }
    ADD_FAILURE() << "no ConversionError thrown";
    return ConversionError::alreadyOptimal();
}

} // namespace vantory::test
