#pragma once

#include "Converters/Image/ImagePreparation.h"
#include "Converters/Image/PictureBudget.h"

#include <vips/vips8>

#include <filesystem>
#include <functional>
#include <string>

// What every image operation does around its encoder: the picture read upright and ready
// for the encoder, the output's unique name, and the encoder's failure told apart from a
// damaged input.
namespace vantory::ImageEncoding {

// The picture ready for an encoder, watched for pixels that fail to decode. Throws
// ConversionError::loadFailed for a file no reader takes.
vips::VImage loadForEncoding(const std::filesystem::path& url, ImagePreparation::Transparency transparency,
                             PictureBudget::Kept work);

// outputFolder/<stem><infix>_<unique>.<format>
std::filesystem::path destinationFor(const std::filesystem::path& url, const std::filesystem::path& outputFolder,
                                     const std::string& infix, const std::string& format);

// Runs `write`, which encodes `image` into `destination`. Pixels are decoded while the
// encoder runs: a picture that failed to decode is a damaged input (loadFailed), whatever
// the encoder reported; otherwise a failed encoder is exportFailed.
void encoding(const std::filesystem::path& url, const vips::VImage& image, const std::filesystem::path& destination,
              const std::string& format, const std::function<void()>& write);

} // namespace vantory::ImageEncoding
