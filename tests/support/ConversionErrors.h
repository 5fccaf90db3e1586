#pragma once

#include "Converters/ConversionError.h"

#include <gtest/gtest.h>

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
