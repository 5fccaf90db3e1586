#include "BenchCommands.h"

#include "Converters/Image/ImageProcessor.h"

namespace {

using Inputs = std::vector<std::filesystem::path>;
using Folder = std::filesystem::path;

vantory::bench::Command convertingTo(const std::string& target)
{
    return [target](const Inputs& inputs, const Folder& out) {
        for (const auto& input : inputs)
            vantory::ImageProcessor::convertFormat(input, target, out);
    };
}

vantory::bench::Registration toPng("image_to_png", convertingTo("png"));
vantory::bench::Registration toWebp("image_to_webp", convertingTo("webp"));
vantory::bench::Registration toHeic("image_to_heic", convertingTo("heic"));

vantory::bench::Registration compress("compress_image", [](const Inputs& inputs, const Folder& out) {
    for (const auto& input : inputs)
        vantory::ImageProcessor::compressImage(input, out);
});

} // namespace
