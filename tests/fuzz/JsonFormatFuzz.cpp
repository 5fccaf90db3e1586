// The pretty, key-sorted JSON writer against the JSON library: whatever it accepts, it
// writes exactly as the library's writer writes the whole parsed document, whether the
// values of a top-level object are built whole or written from where they lie.
#include "Converters/Data/SortedJsonFormatter.h"
#include "FuzzSupport.h"

using namespace vantory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    std::string written;
    if (!fuzz::succeeds([&] { written = fuzz::writtenText([&](OutputFile& out) { data::writeSortedPrettyJson(bytes, out); }); }))
        return 0;
    std::string indexed;
    VANTORY_FUZZ_CHECK(fuzz::succeeds(
        [&] { indexed = fuzz::writtenText([&](OutputFile& out) { data::writeSortedPrettyJson(bytes, out, 0); }); }));
    VANTORY_FUZZ_CHECK(indexed == written);
    const nlohmann::json parsed = nlohmann::json::parse(bytes, nullptr, false);
    VANTORY_FUZZ_CHECK(!parsed.is_discarded());
    VANTORY_FUZZ_CHECK(parsed.is_object() || parsed.is_array());
    VANTORY_FUZZ_CHECK(written == parsed.dump(2));
    return 0;
}
