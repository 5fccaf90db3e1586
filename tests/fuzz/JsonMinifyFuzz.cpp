// The streaming JSON minifier: what it accepts the library reads too, and the minified
// text reads back as the same document.
#include "Converters/Data/JsonMinifier.h"
#include "FuzzSupport.h"

using namespace vantory;

namespace {

// Comparing documents recurses once per level; deeper ones are only run for memory errors.
constexpr int comparedDepth = 200;

bool nestsWithin(std::string_view text, int maxDepth)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    std::string written;
    if (!fuzz::succeeds([&] { written = fuzz::writtenText([&](OutputFile& out) { data::writeMinifiedJson(bytes, out); }); }))
        return 0;
    // Dropping white space and re-escaping never lengthens the text.
    VANTORY_FUZZ_CHECK(written.size() <= bytes.size());
    if (!nestsWithin(bytes, comparedDepth))
        return 0;
    const nlohmann::json original = nlohmann::json::parse(bytes, nullptr, false);
    const nlohmann::json minified = nlohmann::json::parse(written, nullptr, false);
    VANTORY_FUZZ_CHECK(!original.is_discarded());
    VANTORY_FUZZ_CHECK(original.is_object() || original.is_array());
    VANTORY_FUZZ_CHECK(!minified.is_discarded());
    VANTORY_FUZZ_CHECK(minified == original);
    return 0;
}
