#include "Converters/Image/PictureBudget.h"

#include "Converters/ConversionError.h"

#include <cmath>
#include <string>

namespace vantory::PictureBudget {

namespace {

std::string limitText(double bytesPerPixel)
{
    if (bytesPerPixel <= 0)
        return "at most " + std::to_string(longestSide) + " pixels a side";
    const auto megapixels = static_cast<std::uint64_t>(std::floor(static_cast<double>(bytes) / bytesPerPixel / 1e6));
    return "at most " + std::to_string(megapixels) + " megapixels for this conversion";
}

} // namespace

void require(const std::filesystem::path& url, int width, int height, double bytesPerPixel)
{
    const bool sidesFit = width <= longestSide && height <= longestSide;
    const double kept = static_cast<double>(width) * static_cast<double>(height) * bytesPerPixel;
    if (sidesFit && kept <= static_cast<double>(bytes))
        return;
    throw ConversionError::pictureTooLarge(url, width, height, limitText(sidesFit ? bytesPerPixel : 0));
}

} // namespace vantory::PictureBudget
