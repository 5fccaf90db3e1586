#include "Converters/Image/PictureBudget.h"

#include "Converters/ConversionError.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vantory::PictureBudget {

namespace {

std::string megapixels(double pixels)
{
    return std::to_string(static_cast<std::uint64_t>(std::floor(pixels / 1e6))) + " megapixels";
}

} // namespace

void require(const std::filesystem::path& url, int width, int height, double bytesPerPixel)
{
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    if (width > longestSide || height > longestSide)
        throw ConversionError::pictureTooLarge(url, width, height, "at most " + std::to_string(longestSide) + " pixels a side");
    const double kept = bytesPerPixel > 0 ? static_cast<double>(bytes) / bytesPerPixel : static_cast<double>(mostPixels);
    const double allowed = std::min(static_cast<double>(mostPixels), kept);
    if (pixels > allowed)
        throw ConversionError::pictureTooLarge(url, width, height, "at most " + megapixels(allowed) + " for this conversion");
}

} // namespace vantory::PictureBudget
