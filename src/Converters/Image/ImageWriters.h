#pragma once

#include <vips/vips8>

#include <filesystem>
#include <stop_token>
#include <string>

// The encoders of the image actions. Each writes its file under a temporary name and
// moves it into place only when the whole file is written, so a failure leaves nothing;
// once `stop` is requested nothing is moved into place. Refusals (a picture past an
// encoder's limits) throw ConversionError::exportFailed; encoder failures throw
// vips::VError; file-system failures PlatformError.
namespace vantory::ImageWriters {

// Whether `format` (normalised) is a conversion target these writers produce.
bool isConversionTarget(const std::string& format);

// Writes `image` (8-bit sRGB, three or four bands) as `format` (a conversion target).
void write(const vips::VImage& image, const std::string& format, const std::filesystem::path& destination,
           std::stop_token stop = {});

void writeJpeg(const vips::VImage& image, int quality, const std::filesystem::path& destination, std::stop_token stop = {});

// Whether this machine's HEIF library can encode AVIF. Probed once per process.
bool canWriteAVIF();

} // namespace vantory::ImageWriters
