// XML property lists: the nesting check that guards the library, and the conversion.
#include "Converters/Data/XmlPropertyListNesting.h"
#include "PropertyListSupport.h"

using namespace vantory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::checkPropertyList(fuzz::bytesOf(data, size), false, data::xmlPropertyListNestsWithin);
    return 0;
}
