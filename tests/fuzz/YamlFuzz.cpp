// Flat "key: value" YAML: any UTF-8 text gives one object whose keys and values are
// still UTF-8, so the writer never refuses it.
#include "Converters/Data/FlatYaml.h"
#include "Converters/Data/PrettyJsonWriter.h"
#include "FuzzSupport.h"
#include "Platform/Utf8Text.h"

#include <cmath>

using namespace vantory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    // The processor reads YAML as UTF-8 text and refuses anything else.
    if (!isValidUTF8(text))
        return 0;
    nlohmann::json object;
    if (!fuzz::succeeds([&] { object = data::readFlatYaml(text); }))
        return 0;
    VANTORY_FUZZ_CHECK(object.is_object());
    for (const auto& [key, value] : object.items()) {
        VANTORY_FUZZ_CHECK(isValidUTF8(key));
        if (value.is_string())
            VANTORY_FUZZ_CHECK(isValidUTF8(value.get_ref<const std::string&>()));
        if (value.is_number_float())
            VANTORY_FUZZ_CHECK(std::isfinite(value.get<double>()));
    }
    fuzz::writeAndDrop([&](OutputFile& out) { data::writePrettyJson(object, out); });
    return 0;
}
