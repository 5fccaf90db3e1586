#pragma once

#include "Converters/Image/GifEncoder.h"

#include <vips/vips8>

#include <filesystem>
#include <stop_token>

// The encoders of the image actions, each taking 8-bit sRGB with three bands, or four with
// alpha. Each writes its file under a temporary name and moves it into place only when the
// whole file is written, so a failure leaves nothing; once `stop` is requested nothing is
// moved into place. Refusals (a picture past an encoder's limits) throw
// ConversionError::exportFailed; encoder failures throw vips::VError; file-system failures
// PlatformError.
namespace vantory::ImageWriters {

void writePng(const vips::VImage& image, const std::filesystem::path& destination, const std::stop_token& stop);
void writeJpeg(const vips::VImage& image, int quality, const std::filesystem::path& destination, const std::stop_token& stop);
void writeTiff(const vips::VImage& image, const std::filesystem::path& destination, const std::stop_token& stop);
// Reads the picture twice: `readAgain` opens it for the second reading.
void writeGif(const vips::VImage& image, const GifEncoder::ReadAgain& readAgain, const std::filesystem::path& destination,
              const std::stop_token& stop);
void writeBmp(const vips::VImage& image, const std::filesystem::path& destination, const std::stop_token& stop);
// `quality` on libwebp's scale, 0 to 100.
void writeWebP(const vips::VImage& image, float quality, const std::filesystem::path& destination, const std::stop_token& stop);
void writeHeic(const vips::VImage& image, int quality, const std::filesystem::path& destination, const std::stop_token& stop);
void writeAvif(const vips::VImage& image, const std::filesystem::path& destination, const std::stop_token& stop);

// Whether this machine's HEIF library can encode AVIF. Probed once per process.
bool canWriteAVIF();

} // namespace vantory::ImageWriters
