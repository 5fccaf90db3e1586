#include "Converters/Image/WebPEncoder.h"

#include <webp/encode.h>

#include <memory>

namespace vantory::WebPEncoder {

namespace {

struct FreeWithWebP {
    void operator()(std::uint8_t* bytes) const { WebPFree(bytes); }
};

} // namespace

std::optional<std::string> encode(const std::uint8_t* rgba, int width, int height, float quality)
{
    if (rgba == nullptr || width < 1 || height < 1 || width > maxDimension || height > maxDimension)
        return std::nullopt;
    std::uint8_t* output = nullptr;
    const std::size_t size = WebPEncodeRGBA(rgba, width, height, width * 4, quality, &output);
    const std::unique_ptr<std::uint8_t, FreeWithWebP> owned(output);
    if (size == 0 || !owned)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(owned.get()), size);
}

} // namespace vantory::WebPEncoder
