// Binary property lists: the nesting check that guards the library, and the conversion.
#include "Converters/Data/BinaryPropertyListNesting.h"
#include "PropertyListSupport.h"

using namespace vantory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::checkPropertyList(fuzz::bytesOf(data, size), true, data::binaryPropertyListNestsWithin);
    return 0;
}
