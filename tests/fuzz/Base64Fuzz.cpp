// Base64 both ways: any bytes encode into lines of at most 76 characters that decode
// back to them, and any text either decodes or is refused.
#include "Converters/Data/Base64.h"
#include "FuzzSupport.h"

using namespace vantory;

namespace {

std::string encoded(std::string_view bytes)
{
    return fuzz::writtenText([&](OutputFile& out) { data::writeBase64Lines(bytes, out); });
}

void checkLines(const std::string& text)
{
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n')
            continue;
        VANTORY_FUZZ_CHECK(i - lineStart <= 76);
        lineStart = i + 1;
    }
    VANTORY_FUZZ_CHECK(text.empty() || text.back() != '\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);

    const std::string text = encoded(bytes);
    checkLines(text);
    VANTORY_FUZZ_CHECK(text.size() == (bytes.size() + 2) / 3 * 4 + (bytes.empty() ? 0 : ((bytes.size() + 2) / 3 * 4 - 1) / 76));
    const std::optional<std::string> roundTrip = data::decodeBase64(text);
    VANTORY_FUZZ_CHECK(roundTrip && *roundTrip == bytes);

    if (const std::optional<std::string> decoded = data::decodeBase64(bytes)) {
        VANTORY_FUZZ_CHECK(decoded->size() <= bytes.size() / 4 * 3);
        const std::optional<std::string> again = data::decodeBase64(encoded(*decoded));
        VANTORY_FUZZ_CHECK(again && *again == *decoded);
    }
    return 0;
}
