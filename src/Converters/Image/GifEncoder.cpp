#include "Converters/Image/GifEncoder.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/Image/PictureRows.h"

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace vantory::GifEncoder {

namespace {

// libimagequant's speed 4 is libvips' own default for GIF; full dithering likewise.
constexpr int quantiseSpeed = 4;
constexpr float ditheringLevel = 1.0F;
// Rows are mapped to the palette in bands of about this many pixels.
constexpr long long bandPixels = 1 << 20;

struct FreeAttr {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct FreeImage {
    void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct FreeHistogram {
    void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
};
struct FreeResult {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};
using Attr = std::unique_ptr<liq_attr, FreeAttr>;
using Image = std::unique_ptr<liq_image, FreeImage>;
using Histogram = std::unique_ptr<liq_histogram, FreeHistogram>;
using Result = std::unique_ptr<liq_result, FreeResult>;

void check(liq_error error, const char* step)
{
    if (error == LIQ_ABORTED)
        throw ConversionCancelled{};
    if (error != LIQ_OK)
        throw vips::VError(std::string("the GIF palette could not be made: ") + step);
}

// One pixel as libimagequant takes it: GIF keeps a pixel either opaque or clear, and every
// clear pixel is the same clear colour.
void putRgba(const std::uint8_t* pixel, int bands, std::uint8_t* out)
{
    if (bands == 4 && pixel[3] < 128) {
        std::fill_n(out, 4, std::uint8_t{0});
        return;
    }
    std::copy_n(pixel, 3, out);
    out[3] = 255;
}

// Every `step`th pixel of every `step`th row, so at most samplePixels of them.
struct Sample {
    int step;
    int width;
    int height;
    std::vector<std::uint8_t> rgba;
};

Sample sampleOf(const vips::VImage& image, const std::stop_token& stop)
{
    const double pixels = static_cast<double>(image.width()) * image.height();
    const int step = std::max(1, static_cast<int>(std::ceil(std::sqrt(pixels / samplePixels))));
    Sample sample{step, (image.width() + step - 1) / step, (image.height() + step - 1) / step, {}};
    sample.rgba.resize(static_cast<std::size_t>(sample.width) * sample.height * 4);
    const int bands = image.bands();
    PictureRows::each(image, stop, [&](const std::uint8_t* row, int y) {
        if (y % step != 0)
            return;
        std::uint8_t* out = sample.rgba.data() + static_cast<std::size_t>(y / step) * sample.width * 4;
        for (int x = 0; x < sample.width; ++x)
            putRgba(row + static_cast<std::size_t>(x) * step * bands, bands, out + static_cast<std::size_t>(x) * 4);
    });
    return sample;
}

Result paletteFor(liq_attr* attr, Sample& sample)
{
    const Image image(liq_image_create_rgba(attr, sample.rgba.data(), sample.width, sample.height, 0));
    const Histogram histogram(liq_histogram_create(attr));
    if (!image || !histogram)
        throw vips::VError("the GIF palette could not be made");
    check(liq_histogram_add_image(histogram.get(), attr, image.get()), "histogram");
    liq_result* made = nullptr;
    check(liq_histogram_quantize(histogram.get(), attr, &made), "quantisation");
    Result result(made);
    check(liq_set_dithering_level(result.get(), ditheringLevel), "dithering");
    return result;
}

// giflib's writer, closed on every path; bytes go to the sink, and a sink's exception is
// kept until giflib has returned.
class GifFile {
public:
    explicit GifFile(const Sink& sink) : sink_(sink)
    {
        int error = 0;
        gif_ = EGifOpen(this, &GifFile::put, &error);
        if (gif_ == nullptr)
            throw vips::VError("the GIF writer could not start");
        EGifSetGifVersion(gif_, true);
    }
    ~GifFile()
    {
        if (gif_ != nullptr)
            EGifCloseFile(gif_, nullptr);
    }
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;

    void begin(int width, int height, const liq_palette& palette)
    {
        const int transparent = transparentIndex(palette);
        int size = 2;
        while (size < static_cast<int>(palette.count))
            size *= 2;
        std::vector<GifColorType> colours(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
        for (unsigned int i = 0; i < palette.count; ++i)
            colours[i] = GifColorType{palette.entries[i].r, palette.entries[i].g, palette.entries[i].b};
        ColorMapObject* map = GifMakeMapObject(size, colours.data());
        if (map == nullptr)
            throw vips::VError("the GIF palette could not be written");
        const int status = EGifPutScreenDesc(gif_, width, height, 8, 0, map);
        GifFreeMapObject(map);
        succeeded(status);
        if (transparent >= 0) {
            const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparent};
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            succeeded(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension));
        }
        succeeded(EGifPutImageDesc(gif_, 0, 0, width, height, false, nullptr));
    }

    void line(std::uint8_t* indices, int width) { succeeded(EGifPutLine(gif_, indices, width)); }

    void close()
    {
        int error = 0;
        const int status = EGifCloseFile(gif_, &error);
        gif_ = nullptr;
        succeeded(status);
    }

private:
    static int put(GifFileType* gif, const GifByteType* bytes, int size)
    {
        auto* self = static_cast<GifFile*>(gif->UserData);
        if (self->failure)
            return 0;
        try {
            self->sink_(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)));
            return size;
        } catch (...) {
            self->failure = std::current_exception();
            return 0;
        }
    }

    // The palette's clearest colour, when it is clear at all.
    static int transparentIndex(const liq_palette& palette)
    {
        int index = -1;
        for (unsigned int i = 0; i < palette.count; ++i)
            if (palette.entries[i].a < 128 && (index < 0 || palette.entries[i].a < palette.entries[index].a))
                index = static_cast<int>(i);
        return index;
    }

    void succeeded(int status)
    {
        if (failure)
            std::rethrow_exception(std::exchange(failure, nullptr));
        if (status != GIF_OK)
            throw vips::VError("the GIF file could not be written");
    }

    const Sink& sink_;
    GifFileType* gif_ = nullptr;
    std::exception_ptr failure;
};

// Rows gathered into a band, mapped to the palette and written once the band is full.
class Bands {
public:
    Bands(liq_attr* attr, liq_result* palette, GifFile& gif, int width, int height)
        : attr_(attr), palette_(palette), gif_(gif), width_(width), height_(height),
          rows_(static_cast<int>(std::clamp<long long>(bandPixels / width, 1, height)))
    {
        rgba_.resize(static_cast<std::size_t>(width_) * rows_ * 4);
        indices_.resize(static_cast<std::size_t>(width_) * rows_);
    }

    void add(const std::uint8_t* row, int bands, int y)
    {
        std::uint8_t* out = rgba_.data() + static_cast<std::size_t>(y % rows_) * width_ * 4;
        for (int x = 0; x < width_; ++x)
            putRgba(row + static_cast<std::size_t>(x) * bands, bands, out + static_cast<std::size_t>(x) * 4);
        if (y % rows_ == rows_ - 1 || y == height_ - 1)
            write(y % rows_ + 1);
    }

private:
    void write(int count)
    {
        std::vector<void*> in(static_cast<std::size_t>(count));
        std::vector<unsigned char*> out(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            in[i] = rgba_.data() + static_cast<std::size_t>(i) * width_ * 4;
            out[i] = indices_.data() + static_cast<std::size_t>(i) * width_;
        }
        const Image band(liq_image_create_rgba_rows(attr_, in.data(), width_, count, 0));
        if (!band)
            throw vips::VError("the GIF could not be mapped to its palette");
        check(liq_write_remapped_image_rows(palette_, band.get(), out.data()), "mapping");
        for (int i = 0; i < count; ++i)
            gif_.line(out[i], width_);
    }

    liq_attr* attr_;
    liq_result* palette_;
    GifFile& gif_;
    int width_;
    int height_;
    int rows_;
    std::vector<std::uint8_t> rgba_;
    std::vector<std::uint8_t> indices_;
};

} // namespace

void encode(const vips::VImage& image, const ReadAgain& readAgain, const Sink& sink, const std::stop_token& stop)
{
    const Attr attr(liq_attr_create());
    if (!attr)
        throw vips::VError("the GIF palette could not be made");
    check(liq_set_speed(attr.get(), quantiseSpeed), "speed");
    Result palette;
    {
        Sample sample = sampleOf(image, stop);
        palette = paletteFor(attr.get(), sample);
    }
    throwIfStopped(stop);
    GifFile gif(sink);
    const liq_palette* colours = liq_get_palette(palette.get());
    gif.begin(image.width(), image.height(), *colours);
    const vips::VImage again = readAgain();
    if (again.width() != image.width() || again.height() != image.height() || again.bands() != image.bands())
        throw vips::VError("the picture changed between its two readings");
    Bands bands(attr.get(), palette.get(), gif, again.width(), again.height());
    PictureRows::each(again, stop, [&](const std::uint8_t* row, int y) { bands.add(row, again.bands(), y); });
    gif.close();
}

} // namespace vantory::GifEncoder
