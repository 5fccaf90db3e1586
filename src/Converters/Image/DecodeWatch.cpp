#include "Converters/Image/DecodeWatch.h"

#include <atomic>

namespace vantory::DecodeWatch {

namespace {

constexpr const char* flagKey = "vantory-decode-failed";

int passPixels(VipsRegion* out, void* sequence, void*, void* flag, gboolean*)
{
    auto* in = static_cast<VipsRegion*>(sequence);
    const VipsRect area = out->valid;
    if (vips_region_prepare(in, &area) == 0 && vips_region_region(out, in, &area, area.left, area.top) == 0)
        return 0;
    static_cast<std::atomic<bool>*>(flag)->store(true);
    return -1;
}

void deleteFlag(void* flag)
{
    delete static_cast<std::atomic<bool>*>(flag);
}

} // namespace

vips::VImage watched(const vips::VImage& image)
{
    VipsImage* in = image.get_image();
    VipsImage* out = vips_image_new();
    auto* flag = new std::atomic<bool>(false);
    // The flag lives as long as the image that writes it.
    g_object_set_data_full(G_OBJECT(out), flagKey, flag, deleteFlag);
    // The input lives as long as the stage that reads it.
    g_object_ref(in);
    vips_object_local(out, in);
    if (vips_image_pipelinev(out, VIPS_DEMAND_STYLE_ANY, in, nullptr) != 0
        || vips_image_generate(out, vips_start_one, passPixels, vips_stop_one, in, flag) != 0) {
        g_object_unref(out);
        throw vips::VError();
    }
    return vips::VImage(out, vips::STEAL);
}

bool failed(const vips::VImage& image)
{
    const auto* flag = static_cast<const std::atomic<bool>*>(g_object_get_data(G_OBJECT(image.get_image()), flagKey));
    return flag != nullptr && flag->load();
}

} // namespace vantory::DecodeWatch
