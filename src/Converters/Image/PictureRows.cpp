#include "Converters/Image/PictureRows.h"

#include "Converters/ConversionCancelled.h"

#include <exception>

namespace vantory::PictureRows {

namespace {

struct Reading {
    const std::stop_token& stop;
    const Row& row;
    std::exception_ptr failure;
};

// Exceptions stay on this side of libvips: the first one ends the reading.
int strip(VipsRegion* region, VipsRect* area, void* state)
{
    auto* reading = static_cast<Reading*>(state);
    try {
        throwIfStopped(reading->stop);
        for (int y = area->top; y < area->top + area->height; ++y)
            reading->row(static_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, area->left, y)), y);
        return 0;
    } catch (...) {
        reading->failure = std::current_exception();
        return -1;
    }
}

} // namespace

void each(const vips::VImage& image, const std::stop_token& stop, const Row& row)
{
    Reading reading{stop, row, nullptr};
    const int status = vips_sink_disc(image.get_image(), strip, &reading);
    if (reading.failure) {
        vips_error_clear();
        std::rethrow_exception(reading.failure);
    }
    if (status != 0)
        throw vips::VError();
}

} // namespace vantory::PictureRows
