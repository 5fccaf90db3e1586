#include "Converters/Image/ImageWriters.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Image/DecodeWatch.h"
#include "Converters/Image/ImageReader.h"
#include "Converters/Image/WebPEncoder.h"
#include "Converters/OutputFile.h"
#include "Platform/VipsStartup.h"

#include <functional>
#include <memory>

namespace vantory::ImageWriters {

namespace {

using vips::VImage;

struct UnrefBlob {
    void operator()(VipsBlob* blob) const { vips_area_unref(VIPS_AREA(blob)); }
};
using Blob = std::unique_ptr<VipsBlob, UnrefBlob>;

std::string_view bytesOf(const Blob& blob)
{
    size_t size = 0;
    const void* data = vips_blob_get(blob.get(), &size);
    return {static_cast<const char*>(data), size};
}

// A file made while the batch was cancelled, or over pixels that failed to decode, is
// not published.
void publish(OutputFile& file, const VImage& image, const std::stop_token& stop)
{
    throwIfStopped(stop);
    if (DecodeWatch::failed(image))
        throw vips::VError("the picture could not be decoded whole");
    file.commit();
}

// Lets a libvips saver write the file through a target of its own.
void writeThroughTarget(const VImage& image, const std::filesystem::path& destination, const std::stop_token& stop,
                        const std::function<void(vips::VTarget&)>& save)
{
    OutputFile file(destination, OutputFile::Mode::atomic);
    {
        vips::VTarget target = vips::VTarget::new_to_file(file.pathForLibrary().c_str());
        save(target);
    }
    publish(file, image, stop);
}

void writeBytes(const VImage& image, const std::filesystem::path& destination, std::string_view bytes,
                const std::stop_token& stop)
{
    OutputFile file(destination, OutputFile::Mode::atomic);
    file.append(bytes);
    publish(file, image, stop);
}

} // namespace

void writeWebP(const VImage& image, float quality, const std::filesystem::path& destination, const std::stop_token& stop)
{
    if (image.width() > WebPEncoder::maxDimension || image.height() > WebPEncoder::maxDimension)
        throw ConversionError::exportFailed(destination, "webp");
    const VImage rgba = image.bands() == 4 ? image : image.bandjoin_const({255});
    size_t size = 0;
    const std::unique_ptr<std::uint8_t, ImageReader::FreeWithGlib> pixels(
        static_cast<std::uint8_t*>(rgba.write_to_memory(&size)));
    if (size != static_cast<size_t>(image.width()) * image.height() * 4)
        throw ConversionError::exportFailed(destination, "webp");
    const auto encoded = WebPEncoder::encode(pixels.get(), image.width(), image.height(), quality);
    if (!encoded)
        throw ConversionError::exportFailed(destination, "webp");
    writeBytes(image, destination, *encoded, stop);
}

void writeHeic(const VImage& image, int quality, const std::filesystem::path& destination, const std::stop_token& stop)
{
    writeThroughTarget(image, destination, stop, [&](vips::VTarget& target) {
        image.heifsave_target(target,
                              VImage::option()->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)->set("Q", quality));
    });
}

void writeAvif(const VImage& image, const std::filesystem::path& destination, const std::stop_token& stop)
{
    writeThroughTarget(image, destination, stop, [&](vips::VTarget& target) {
        image.heifsave_target(target, VImage::option()->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1));
    });
}

// libvips has no BMP writer of its own; ImageMagick encodes it in memory.
void writeBmp(const VImage& image, const std::filesystem::path& destination, const std::stop_token& stop)
{
    const Blob blob(image.magicksave_buffer(VImage::option()->set("format", "bmp")));
    writeBytes(image, destination, bytesOf(blob), stop);
}

void writePng(const VImage& image, const std::filesystem::path& destination, const std::stop_token& stop)
{
    writeThroughTarget(image, destination, stop, [&](vips::VTarget& target) { image.pngsave_target(target); });
}

void writeTiff(const VImage& image, const std::filesystem::path& destination, const std::stop_token& stop)
{
    writeThroughTarget(image, destination, stop, [&](vips::VTarget& target) { image.tiffsave_target(target); });
}

void writeGif(const VImage& image, const GifEncoder::ReadAgain& readAgain, const std::filesystem::path& destination,
              const std::stop_token& stop)
{
    OutputFile file(destination, OutputFile::Mode::atomic);
    VImage second;
    GifEncoder::encode(
        image,
        [&] {
            second = readAgain();
            return second;
        },
        [&](std::string_view bytes) { file.append(bytes); }, stop);
    if (DecodeWatch::failed(second))
        throw vips::VError("the picture could not be decoded whole");
    publish(file, image, stop);
}

void writeJpeg(const VImage& image, int quality, const std::filesystem::path& destination, const std::stop_token& stop)
{
    writeThroughTarget(image, destination, stop,
                       [&](vips::VTarget& target) { image.jpegsave_target(target, VImage::option()->set("Q", quality)); });
}

bool canWriteAVIF()
{
    static const bool available = [] {
        try {
            ensureVipsStarted();
            const Blob encoded(VImage::black(1, 1, VImage::option()->set("bands", 3))
                                   .cast(VIPS_FORMAT_UCHAR)
                                   .heifsave_buffer(VImage::option()->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)));
            return !bytesOf(encoded).empty();
        } catch (const std::exception&) {
            vips_error_clear();
            return false;
        }
    }();
    return available;
}

} // namespace vantory::ImageWriters
